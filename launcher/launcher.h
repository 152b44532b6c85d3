// SPDX-License-Identifier: MIT
// The launcher: the game, the editor and the setup program started with the current slot's map
// or without a map, and the random pick with the mascot's frame.
//
// The commands read the state record and the slot captions (a caption is the slot's map name as
// the window shows it) and reach the world only through the services; every failure after the
// slot check ends in the one "Error!" message, and nothing that already happened is undone. They
// know nothing of the window that calls them: the random pick chooses its slot through the
// callback it is given, which must have exactly the effect of the user's click on that slot.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "catalogue/state.h"
#include "platform/form.h"
#include "platform/services.h"

namespace dorvane {

using SlotButtons = std::array<Control, kSlots>;

// With the map of slot `map`: "duke3d.exe -map ", "Build.exe " and "setup.exe -map " followed by
// the map's name. A free slot asks for a map first. The editor gets its "Y" two seconds after
// its start and then the offer to run the same map in the game.
void run_in_duke3d(const State& state, const SlotButtons& slots, Services& services);
void run_in_build(const State& state, const SlotButtons& slots, Services& services);
void run_in_setup(const State& state, const SlotButtons& slots, Services& services);

// Without a map: "duke3d.exe", "build.exe" (which also gets its "Y") and "setup.exe".
void run_duke3d_without_map(Services& services);
void run_build_without_map(Services& services);
void run_setup_without_map(Services& services);

// Chooses a filled slot whose map differs from the previous pick's through `choose_slot`, notes
// the pick in `last_map` and `last_pic`, and returns the mascot's new frame, which differs from
// the previous one. nullopt: no slot was chosen (a catalogue without maps says so).
std::optional<Picture> random_pick(State& state, const SlotButtons& slots, Services& services,
                                   const std::function<void(int)>& choose_slot);

// What a click on the mascot says.
void introduce_mascot(Services& services);

}  // namespace dorvane
