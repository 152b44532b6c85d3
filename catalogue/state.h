// SPDX-License-Identifier: MIT
// The program's whole state: one record of named fields, held by the main window and read and
// written directly by every window and command. The database file keeps the slot table, the
// stored selection and the 27 colour components; the rest lives only while the program runs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/form.h"

namespace dorvane {

constexpr int kSlots = 68;

struct map_slot {
    std::string mapname;      // bare, lower-cased file name; empty for a free slot
    std::int16_t mapnum = 0;  // the slot number stored with the entry
};

// A slot index that may be empty (before the first selection, or an empty stored selection).
using SlotIndex = std::optional<int>;

// Used as an index, an empty slot counts as slot 0.
constexpr int slot_or_zero(const SlotIndex& slot) {
    return slot.value_or(0);
}

struct State {
    std::array<map_slot, kSlots> maps;

    // Selection, hand-over and work values, in declaration order.
    SlotIndex map;
    std::optional<int> last_pic;  // mascot frame 1 to 4 of the previous random pick
    std::string last_map;         // map name of the previous random pick
    std::string t_mapname;        // handed to savemaps
    long t_mapnum = 0;            // handed to savemaps, which narrows it to 16 bits
    SlotIndex temp;               // source slot of a pending move
    SlotIndex selected_map;       // the selection as the database file keeps it
    // The bytes of Qimdat.dat as this program last read or wrote them; empty before either.
    // A save that finds other bytes there knows another program changed the file meanwhile.
    std::optional<std::string> on_disk;

    // The 27 colour components, in the order the program declares them and the file stores
    // them. Whole numbers, 0 to 255 when the program set them; a value read from the file is
    // kept as read.
    int BCTTcR = 0, BCTBcR = 0, FCTTcR = 0, FCTBcR = 0;
    int BCTTcG = 0, BCTBcG = 0, FCTTcG = 0, FCTBcG = 0;
    int BCTTcB = 0, BCTBcB = 0, FCTTcB = 0, FCTBcB = 0;
    int dcr = 0, dcg = 0, dcb = 0;
    int bcr = 0, bcg = 0, BCB = 0;
    int scr = 0, scg = 0, scb = 0;
    int rcr = 0, rcg = 0, rcb = 0;
    int tcr = 0, tcg = 0, tcb = 0;
};

// The 27 components in declaration (and file) order, for code that walks them all.
using ColourField = int State::*;
extern const std::array<ColourField, 27> kColourFields;

// Sets the 27 components to the defaults of a first run.
void set_default_colours(State& state);

// Composes a colour from three components: each is rounded to the nearest whole number (halves
// to even), a value above 255 counts as 255 and one below 0 as 0; then red + 256 * green +
// 65536 * blue.
Colour compose(double red, double green, double blue);

}  // namespace dorvane
