// SPDX-License-Identifier: MIT
// The colour dialog as the user works it: a pick in each list reaches its own colour only on
// Ok, read back as the database file stores the colours; Cancel and the frame's close keep them.
#include "colours/skrewform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct ColourDialog : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    ColourDialog() { set_default_colours(main.state); }

    skrewform& open() {
        services.route([this] { main.cc_Click(); });
        return *main.colour_dialog;
    }
    // The dialog's lists in their order on the screen: screen top and bottom, text top and
    // bottom, then the Build, Duke, Setup, Random and map text colours.
    static std::vector<Control*> lists(skrewform& dialog) {
        std::vector<Control*> out;
        for (Control* c : dialog.controls)
            if (c->kind == ControlKind::List)
                out.push_back(c);
        return out;
    }
    static void pick(Control& list, const std::string& name) {
        auto at = std::find(list.items.begin(), list.items.end(), name);
        ASSERT_NE(at, list.items.end()) << name;
        select_item(list, static_cast<int>(at - list.items.begin()));
    }
    // The eight colour lines of the file the state would be saved as.
    std::vector<std::string> colour_lines() const {
        std::string text = format_database(main.state, Numbering::ByMapnum);
        std::vector<std::string> lines;
        for (std::size_t p = 0, end; (end = text.find("\r\n", p)) != std::string::npos; p = end + 2)
            lines.push_back(text.substr(p, end - p));
        return {lines.end() - 8, lines.end()};
    }
};

const std::vector<std::string> kDefaultLines = {"0,255,255,0", "0,0,0,0",    "0,255,255,0",
                                                "0,255,0",     "255,0,0",    "255,255,0",
                                                "0,0,255",     "255,255,255"};

TEST_F(ColourDialog, EachPickReachesItsOwnColourOnOkOnly) {
    skrewform& dialog = open();
    std::vector<Control*> all = lists(dialog);
    ASSERT_EQ(all.size(), 9u);
    const char* picks[] = {"Blue", "Cyan",  "Green",  "Grey", "Magenta",
                           "Red",  "White", "Yellow", "Black"};
    for (std::size_t i = 0; i < all.size(); ++i)
        pick(*all[i], picks[i]);
    EXPECT_EQ(colour_lines(), kDefaultLines) << "a pick alone changes nothing";
    EXPECT_EQ(dialog.BCTT.fore, compose(0, 0, 255)) << "the preview shows the pick";
    press(dialog.Changecolorsok);
    EXPECT_FALSE(dialog.visible);
    EXPECT_EQ(colour_lines(),
              (std::vector<std::string>{"0,0,0,192", "0,255,255,192", "255,255,0,192", "255,0,0",
                                        "255,0,255", "255,255,255", "255,255,0", "0,0,0"}));
    EXPECT_EQ(services.writes, 0) << "the dialog changes memory only";
}

TEST_F(ColourDialog, CancelAndTheFrameCloseKeepTheColours) {
    skrewform& dialog = open();
    pick(*lists(dialog)[6], "Cyan");
    press(dialog.colorcancel);
    EXPECT_FALSE(dialog.visible);
    EXPECT_EQ(colour_lines(), kDefaultLines);
    skrewform& again = open();  // hidden, not dropped: the pick is still there
    EXPECT_EQ(&again, &dialog);
    pick(*lists(again)[7], "Red");
    services.close_frame(again);
    EXPECT_EQ(main.colour_dialog, nullptr);
    EXPECT_EQ(colour_lines(), kDefaultLines);
    skrewform& fresh = open();  // reads the colours in force
    EXPECT_EQ(fresh.Random.items.at(fresh.Random.list_index), "Blue");
}

TEST_F(ColourDialog, AColourOutsideThePaletteSurvivesOk) {
    main.state.tcr = 1, main.state.tcg = 2, main.state.tcb = 3;
    main.state.BCTTcR = 300, main.state.BCTTcG = -4, main.state.BCTTcB = 128;
    State before = main.state;
    skrewform& dialog = open();
    EXPECT_EQ(dialog.Textcol.list_index, -1);
    press(dialog.Changecolorsok);
    EXPECT_EQ(format_database(main.state, Numbering::ByMapnum),
              format_database(before, Numbering::ByMapnum));
}

TEST_F(ColourDialog, HeadingTakesARandomColourWithNoComponentZero) {
    skrewform& dialog = open();
    services.route([this] { main.visible = true; });
    services.random_values = {0.0f, 0.5f, 0.99999994f};
    ASSERT_TRUE(services.switch_to(dialog));
    EXPECT_EQ(dialog.Mainlabel.fore, compose(1, 128, 255));
}

}  // namespace
}  // namespace dorvane
