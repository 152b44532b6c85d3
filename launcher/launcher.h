// SPDX-License-Identifier: MIT
// The launcher: the game, the editor and the setup program started with the current slot's map
// or without a map, and the random pick with the mascot's frame.
//
// The commands read the state record and the slot captions (a caption is the slot's map name as
// the window shows it) and reach the world only through the platform's topics they take; every
// failure after the slot check ends in the one "Error!" message, and nothing that already happened
// is undone. They know nothing of the window that calls them: the random pick chooses its slot
// through the callback it is given, which must have exactly the effect of the user's click on that
// slot.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "catalogue/state.h"
#include "platform/clock_service.h"
#include "platform/file_service.h"
#include "platform/form.h"
#include "platform/message_box_service.h"
#include "platform/process_service.h"

namespace dorvane {

using SlotButtons = std::array<Control, kSlots>;

// What the commands with a map reach: the programs, the folder (for the map's name on disk),
// the user, and the clock (the editor's two seconds).
struct LaunchServices {
    ProcessService& processes;
    FileService& files;
    MessageBoxService& boxes;
    ClockService& clock;
};

// With the map of slot `map`: "duke3d.exe -map ", "Build.exe " and "setup.exe -map " followed by
// the map's name. A free slot asks for a map first. The editor gets its "Y" two seconds after
// its start and then the offer to run the same map in the game.
void run_in_duke3d(const State& state, const SlotButtons& slots, LaunchServices services);
void run_in_build(const State& state, const SlotButtons& slots, LaunchServices services);
void run_in_setup(const State& state, const SlotButtons& slots, LaunchServices services);

// Without a map: "duke3d.exe", "build.exe" (which also gets its "Y") and "setup.exe".
void run_duke3d_without_map(ProcessService& processes, MessageBoxService& boxes);
void run_build_without_map(ProcessService& processes, MessageBoxService& boxes);
void run_setup_without_map(ProcessService& processes, MessageBoxService& boxes);

// Chooses a filled slot whose map differs from the previous pick's through `choose_slot`, notes
// the pick in `last_map` and `last_pic`, and returns the mascot's new frame, which differs from
// the previous one. nullopt: no slot was chosen (a catalogue without maps says so).
std::optional<Picture> random_pick(State& state, const SlotButtons& slots, ClockService& chance,
                                   MessageBoxService& boxes,
                                   const std::function<void(int)>& choose_slot);

// What a click on the mascot says.
void introduce_mascot(MessageBoxService& boxes);

}  // namespace dorvane
