// SPDX-License-Identifier: MIT
#include "catalogue/database.h"
#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Clear_Click() {
    int slot = slot_or_zero(state.map);
    Option1[slot].caption.clear();
    state.maps[slot].mapname.clear();
    save(Numbering::ByMapnum);
}

void Dorvane::clearmaps_Click() {
    Answer answer = services.boxes.message_box(
        "Are you sure you want to erase the entire Database?", "Erase All Maps", Buttons::YesNo);
    if (answer != Answer::Yes)
        return;
    for (int i = 0; i < kSlots; ++i) {
        Option1[i].caption.clear();
        state.maps[i].mapname = Option1[i].caption;
    }
    // The file is renumbered by slot index; the numbers in memory stay, so the next ordinary
    // write numbers the lines by them again.
    save(Numbering::ByIndex);
}

}  // namespace dorvane
