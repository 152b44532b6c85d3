// SPDX-License-Identifier: MIT
#include <array>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"

namespace dorvane {

namespace {

// Move mode shows Towhere over the command column and hides what it covers, in this order;
// leaving it reverses each, in the same order.
void switch_move_mode(Dorvane& w, bool moving) {
    const std::array<Control*, 10> order = {&w.Towhere, &w.Addmap, &w.Build,  &w.Clear,  &w.Setup,
                                            &w.Duke3d,  &w.Moveme, &w.Random, &w.Wobbin, &w.Quit};
    for (Control* c : order)
        c->visible = (c == &w.Towhere) == moving;
}

}  // namespace

void Dorvane::Moveme_Click() {
    state.temp = state.map;
    switch_move_mode(*this, true);
}

void Dorvane::Towhere_Click() {
    int to = slot_or_zero(state.map);
    int from = slot_or_zero(state.temp);
    std::string kept = Option1[to].caption;
    Option1[to].caption = Option1[from].caption;
    Option1[from].caption = kept;
    switch_move_mode(*this, false);
    for (int i = 0; i < kSlots; ++i)
        state.maps[i].mapname = Option1[i].caption;
    save(Numbering::ByMapnum);
    choose_slot(0);
}

}  // namespace dorvane
