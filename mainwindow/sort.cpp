// SPDX-License-Identifier: MIT
#include <string>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "mainwindow/ordinal.h"

namespace dorvane {

namespace {

// Stands in an empty slot while the names are sorted: U+00A5 (the yen sign) and "-Qim", in
// UTF-8 like every name. A name that is exactly this comes out of the sort as an empty slot.
const std::string kEmptyMarker = "\xC2\xA5-Qim";

}  // namespace

void Dorvane::sort_Click() {
    // Pack the named slots to the top, keeping their order.
    int count = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (Option1[i].caption.empty())
            continue;
        Option1[count].caption = Option1[i].caption;
        if (i != count)
            Option1[i].caption.clear();
        ++count;
    }

    for (Control& slot : Option1) {
        if (slot.caption.empty())
            slot.caption = kEmptyMarker;
    }

    // One pass per named slot, each over the whole named range, with no early stop.
    for (int pass = 0; pass < count; ++pass) {
        for (int j = 0; j + 1 < count; ++j) {
            if (!ordinal_less(Option1[j].caption, Option1[j + 1].caption)) {
                std::string scratch = Option1[j].caption;
                Option1[j].caption = Option1[j + 1].caption;
                Option1[j + 1].caption = scratch;
            }
        }
    }

    for (int i = 0; i < kSlots; ++i) {
        if (Option1[i].caption == kEmptyMarker)
            Option1[i].caption.clear();
        state.maps[i].mapname = Option1[i].caption;
    }

    save(Numbering::ByMapnum);
    services.boxes.message_box("Finished Sorting", "Sort-O-Matic", Buttons::Ok);
    choose_slot(0);
}

}  // namespace dorvane
