// SPDX-License-Identifier: MIT
// The colour dialog as the user works it: a pick shows in the label under its list and reaches
// the colour that label names on Ok only; Cancel and the frame's close keep the colours.
#include "colours/skrewform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct ColourDialog : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    std::string saved() const { return format_database(main.state, Numbering::ByMapnum); }
    skrewform& open() {
        services.route([this] { main.cc_Click(); });
        return *main.colour_dialog;
    }
};

TEST_F(ColourDialog, EachListSetsTheColourItsLabelNamesOnOkOnly) {
    std::map<std::string, std::array<int State::*, 3>> named = {
        {"Top of Screen Colour", {&State::BCTTcR, &State::BCTTcG, &State::BCTTcB}},
        {"Bottom of Screen Colour", {&State::BCTBcR, &State::BCTBcG, &State::BCTBcB}},
        {"Top of Text Colour", {&State::FCTTcR, &State::FCTTcG, &State::FCTTcB}},
        {"Bottom of Text Colour", {&State::FCTBcR, &State::FCTBcG, &State::FCTBcB}},
        {"Build Button Colour", {&State::bcr, &State::bcg, &State::BCB}},
        {"Duke Button Colour", {&State::dcr, &State::dcg, &State::dcb}},
        {"Setup Button Colour", {&State::scr, &State::scg, &State::scb}},
        {"Random Button Colour", {&State::rcr, &State::rcg, &State::rcb}},
        {"Map Text Colour", {&State::tcr, &State::tcg, &State::tcb}},
    };
    // Colours outside the palette show as no pick, and Ok leaves them as they are until then.
    main.state.rcr = 300, main.state.rcg = -4, main.state.tcb = 1;
    skrewform& dialog = open();
    for (std::size_t i = 1; i < dialog.controls.size(); ++i) {
        Control &list = *dialog.controls[i - 1], &label = *dialog.controls[i];
        if (list.kind != ControlKind::List)
            continue;
        const auto fields = named.at(label.caption);
        named.erase(label.caption);  // each once
        for (auto [colour, r, g, b] : {std::tuple{"Cyan", 0, 255, 255}, {"Yellow", 255, 255, 0}}) {
            State want = main.state;
            want.*fields[0] = r, want.*fields[1] = g, want.*fields[2] = b;
            const std::string before = saved();
            select_item(
                list, std::find(list.items.begin(), list.items.end(), colour) - list.items.begin());
            EXPECT_EQ(label.fore, compose(r, g, b)) << label.caption;
            press(dialog.colorcancel);
            EXPECT_EQ(saved(), before) << "a pick and Cancel change nothing";
            EXPECT_EQ(&open(), &dialog);  // hidden with its picks, not dropped
            press(dialog.Changecolorsok);
            EXPECT_EQ(saved(), format_database(want, Numbering::ByMapnum)) << label.caption;
            open();
        }
    }
    EXPECT_TRUE(named.empty());
    // The frame's close keeps the colours and drops the picks: the next dialog is made afresh.
    const std::string before = saved();
    select_item(dialog.Setup, 1);
    services.close_frame(dialog);
    EXPECT_EQ(saved(), before);
    skrewform& fresh = open();
    EXPECT_EQ(fresh.Setup.items.at(fresh.Setup.list_index), "Yellow");
    EXPECT_EQ(services.writes, 0) << "the dialog changes memory only";
}

}  // namespace
}  // namespace dorvane
