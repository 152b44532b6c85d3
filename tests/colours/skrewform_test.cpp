// SPDX-License-Identifier: MIT
#include "colours/skrewform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

std::string shown(const Control& list) {
    return list.list_index < 0 ? "" : list.items.at(list.list_index);
}

void pick(Control& list, const std::string& name) {
    auto at = std::find(list.items.begin(), list.items.end(), name);
    ASSERT_NE(at, list.items.end()) << name;
    select_item(list, static_cast<int>(at - list.items.begin()));
}

std::vector<int> components(const State& state) {
    std::vector<int> values;
    for (ColourField field : kColourFields)
        values.push_back(state.*field);
    return values;
}

// One of the nine colours: its list and preview, its pending and its stored components.
struct Choice {
    Control skrewform::*list;
    Control skrewform::*preview;
    std::array<Pending skrewform::*, 3> pending;
    std::array<int State::*, 3> stored;
};

const std::array<Choice, 9> kChoices = {{
    {&skrewform::BCT,
     &skrewform::BCTT,
     {&skrewform::tBCTTcR, &skrewform::tBCTTcG, &skrewform::tBCTTcB},
     {&State::BCTTcR, &State::BCTTcG, &State::BCTTcB}},
    {&skrewform::BCB,
     &skrewform::BCTB,
     {&skrewform::tBCTBcR, &skrewform::tBCTBcG, &skrewform::tBCTBcB},
     {&State::BCTBcR, &State::BCTBcG, &State::BCTBcB}},
    {&skrewform::FCT,
     &skrewform::FCTT,
     {&skrewform::tFCTTcR, &skrewform::tFCTTcG, &skrewform::tFCTTcB},
     {&State::FCTTcR, &State::FCTTcG, &State::FCTTcB}},
    {&skrewform::FCB,
     &skrewform::FCTB,
     {&skrewform::tFCTBcR, &skrewform::tFCTBcG, &skrewform::tFCTBcB},
     {&State::FCTBcR, &State::FCTBcG, &State::FCTBcB}},
    {&skrewform::Build,
     &skrewform::Buildlabel,
     {&skrewform::tbcr, &skrewform::tbcg, &skrewform::tbcb},
     {&State::bcr, &State::bcg, &State::BCB}},
    {&skrewform::Duke,
     &skrewform::Dukelabel,
     {&skrewform::tdcr, &skrewform::tdcg, &skrewform::tdcb},
     {&State::dcr, &State::dcg, &State::dcb}},
    {&skrewform::Setup,
     &skrewform::Setuplabel,
     {&skrewform::tscr, &skrewform::tscg, &skrewform::tscb},
     {&State::scr, &State::scg, &State::scb}},
    {&skrewform::Random,
     &skrewform::Randomlabel,
     {&skrewform::trcr, &skrewform::trcg, &skrewform::trcb},
     {&State::rcr, &State::rcg, &State::rcb}},
    {&skrewform::Textcol,
     &skrewform::textlabel,
     {&skrewform::ttcr, &skrewform::ttcg, &skrewform::ttcb},
     {&State::tcr, &State::tcg, &State::tcb}},
}};

struct ColourDialog : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    ColourDialog() { set_default_colours(main.state); }

    skrewform& open() {
        main.cc_Click();
        return *main.colour_dialog;
    }
    // Opened by the user: the window comes on the screen as the active one.
    skrewform& show() {
        services.route([this] { main.cc_Click(); });
        return *main.colour_dialog;
    }
    void show_main() {
        services.route([this] { main.visible = true; });
    }
};

TEST(Palette, LooksUpNamesAndComponentsExactly) {
    std::string name = "kept";
    textcolor(192, 192, 192, name);
    EXPECT_EQ(name, "Grey");
    textcolor(192, 192, 191, name);
    EXPECT_EQ(name, "Grey") << "no match keeps the name it had";

    Pending r, g, b = 7;
    colorvalue("Cyan", r, g, b);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(g, 255);
    EXPECT_EQ(b, 255);
    Pending x, y, z = 7;
    for (const char* other : {"cyan", "Cyan ", ""})
        colorvalue(other, x, y, z);
    EXPECT_FALSE(x);
    EXPECT_FALSE(y);
    EXPECT_EQ(z, 7);
}

TEST_F(ColourDialog, OpensWithEveryListOfferingThePaletteInOrder) {
    skrewform& dialog = open();
    EXPECT_EQ(dialog.caption, "FORM OF DEATH! no, wait...");
    EXPECT_EQ(dialog.client_width, 4950);
    EXPECT_EQ(dialog.client_height, 4500);
    EXPECT_TRUE(dialog.visible);
    EXPECT_EQ(services.find_form("skrewform"), &dialog);
    std::vector<std::string> names = {"Black",   "Blue", "Cyan",  "Green", "Grey",
                                      "Magenta", "Red",  "White", "Yellow"};
    for (const Choice& choice : kChoices) {
        const Control& list = dialog.*choice.list;
        EXPECT_EQ(list.kind, ControlKind::List);
        EXPECT_EQ(list.items, names) << list.name;
    }
}

TEST_F(ColourDialog, ListsShowTheColoursInForceAndPendingEqualsStored) {
    skrewform& dialog = open();
    EXPECT_EQ(shown(dialog.BCT), "Black");
    EXPECT_EQ(shown(dialog.BCB), "Magenta");
    EXPECT_EQ(shown(dialog.FCT), "Magenta");
    EXPECT_EQ(shown(dialog.FCB), "Black");
    EXPECT_EQ(shown(dialog.Duke), "Green");
    EXPECT_EQ(shown(dialog.Build), "Red");
    EXPECT_EQ(shown(dialog.Setup), "Yellow");
    EXPECT_EQ(shown(dialog.Random), "Blue");
    EXPECT_EQ(shown(dialog.Textcol), "White");
    for (const Choice& choice : kChoices) {
        const State& s = main.state;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(dialog.*choice.pending[i], s.*choice.stored[i]) << (dialog.*choice.list).name;
        EXPECT_EQ((dialog.*choice.preview).fore,
                  compose(s.*choice.stored[0], s.*choice.stored[1], s.*choice.stored[2]));
    }
}

TEST_F(ColourDialog, GreyPickSetsItsOwnPendingComponentsAndPreviewOnly) {
    skrewform& dialog = open();
    for (const Choice& choice : kChoices) {
        std::vector<int> before = components(main.state);
        pick(dialog.*choice.list, "Grey");
        for (Pending skrewform::*pending : choice.pending)
            EXPECT_EQ(dialog.*pending, 192) << (dialog.*choice.list).name;
        EXPECT_EQ((dialog.*choice.preview).fore, 0xC0C0C0u);
        EXPECT_EQ(components(main.state), before) << "a pick changes only the dialog";
    }
}

TEST_F(ColourDialog, OkWithoutPicksChangesNothingAndHides) {
    main.state.BCTTcR = 192, main.state.BCTTcG = 192, main.state.BCTTcB = 192;
    std::vector<int> before = components(main.state);
    skrewform& dialog = open();
    press(dialog.Changecolorsok);
    EXPECT_EQ(components(main.state), before);
    EXPECT_FALSE(dialog.visible);
    EXPECT_EQ(services.writes, 0);
}

TEST_F(ColourDialog, OkCopiesEveryPickIntoItsOwnColour) {
    skrewform& dialog = open();
    const char* picks[] = {"Blue", "Cyan",  "Green",  "Grey", "Magenta",
                           "Red",  "White", "Yellow", "Black"};
    for (std::size_t i = 0; i < kChoices.size(); ++i)
        pick(dialog.*kChoices[i].list, picks[i]);
    press(dialog.Changecolorsok);
    for (std::size_t i = 0; i < kChoices.size(); ++i) {
        std::string name;
        const Choice& choice = kChoices[i];
        textcolor(main.state.*choice.stored[0], main.state.*choice.stored[1],
                  main.state.*choice.stored[2], name);
        EXPECT_EQ(name, picks[i]) << (dialog.*choice.list).name;
    }
    EXPECT_EQ(main.state.BCB, 255) << "the Build list's Magenta reaches the Build blue BCB";
    EXPECT_EQ(main.state.BCTBcR, 0) << "the list named BCB sets the screen bottom";
}

TEST_F(ColourDialog, CancelledPickIsShownAgainAndOkThenCommitsIt) {
    skrewform& dialog = open();
    pick(dialog.BCT, "Blue");
    press(dialog.colorcancel);
    EXPECT_FALSE(dialog.visible);
    EXPECT_EQ(main.state.BCTTcB, 0) << "Cancel commits nothing";

    main.state.dcr = 255;  // a hidden dialog does not read the record again
    skrewform& again = open();
    EXPECT_EQ(&again, &dialog);
    EXPECT_TRUE(again.visible);
    EXPECT_EQ(shown(again.BCT), "Blue");
    EXPECT_EQ(again.BCTT.fore, compose(0, 0, 255));
    press(again.Changecolorsok);
    EXPECT_EQ(main.state.BCTTcR, 0);
    EXPECT_EQ(main.state.BCTTcB, 255);
    EXPECT_EQ(main.state.dcr, 0) << "the Duke pick still in the dialog is Green";
}

TEST_F(ColourDialog, FrameCloseDropsPicksAndReopeningReadsTheColoursInForce) {
    skrewform& dialog = show();
    pick(dialog.Random, "Red");
    services.close_frame(dialog);
    EXPECT_EQ(main.colour_dialog, nullptr);
    EXPECT_EQ(services.find_form("skrewform"), nullptr);
    EXPECT_EQ(main.state.rcr, 0);

    skrewform& fresh = open();
    EXPECT_EQ(shown(fresh.Random), "Blue");
    EXPECT_EQ(fresh.trcr, 0);
    EXPECT_EQ(fresh.trcb, 255);
    EXPECT_EQ(services.find_form("skrewform"), &fresh);
}

// The dialog works on the record it is given, with no main window anywhere.
TEST(ColourDialogAlone, ReadsAndCommitsTheRecordItIsGiven) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    State state;
    set_default_colours(state);
    state.scr = 255, state.scg = 0, state.scb = 255;
    skrewform dialog{state, services, services};
    dialog.Form_Load();
    EXPECT_EQ(shown(dialog.Setup), "Magenta");
    pick(dialog.Setup, "Cyan");
    EXPECT_EQ(state.scr, 255) << "a pick stays in the dialog until Ok";
    press(dialog.Changecolorsok);
    EXPECT_EQ(state.scr, 0);
    EXPECT_EQ(state.scg, 255);
    EXPECT_EQ(state.scb, 255);
    EXPECT_EQ(services.writes, 0);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(ColourDialog, HeadingTakesARandomColourWithNoComponentZero) {
    skrewform& dialog = show();
    show_main();
    // The user comes back to the dialog from the main window.
    services.random_values = {0.0f, 0.5f, 0.99999994f};
    ASSERT_TRUE(services.switch_to(dialog));
    EXPECT_EQ(dialog.Mainlabel.fore, compose(1, 128, 255));
    // Not from another program.
    services.random_values = {0.5f, 0.5f, 0.5f};
    services.switch_away();
    ASSERT_TRUE(services.come_back());
    EXPECT_EQ(dialog.Mainlabel.fore, compose(1, 128, 255));
    services.random_values.clear();
    for (int i = 0; i < 2000; ++i) {
        ASSERT_TRUE(services.switch_to(main));
        ASSERT_TRUE(services.switch_to(dialog));
        Colour c = *dialog.Mainlabel.fore;
        ASSERT_NE(colour_red(c), 0);
        ASSERT_NE(colour_green(c), 0);
        ASSERT_NE(colour_blue(c), 0);
    }
}

TEST_F(ColourDialog, FirstActivationGivesTheSameColourInEveryRun) {
    auto first_heading = [this] {
        HeadlessServices run{folder.str()};
        Dorvane window{run};
        run.route([&window] { window.cc_Click(); });
        return window.colour_dialog->Mainlabel.fore;
    };
    std::optional<Colour> first = first_heading();
    ASSERT_TRUE(first);
    EXPECT_EQ(first_heading(), first);
    skrewform& dialog = show();
    EXPECT_EQ(dialog.Mainlabel.fore, first);
    show_main();
    ASSERT_TRUE(services.switch_to(dialog));
    EXPECT_NE(dialog.Mainlabel.fore, first) << "the next activation draws a new colour";
}

TEST_F(ColourDialog, StoredColourOutsideThePaletteSurvivesOkUntouched) {
    // The first colour loaded (map text) and one later (screen top) off the palette, one with
    // components a hand-edited file could hold.
    main.state.tcr = 1, main.state.tcg = 2, main.state.tcb = 3;
    main.state.BCTTcR = 300, main.state.BCTTcG = -4, main.state.BCTTcB = 128;
    std::vector<int> before = components(main.state);
    skrewform& dialog = open();
    EXPECT_EQ(shown(dialog.Textcol), "");
    EXPECT_EQ(shown(dialog.BCT), "");
    EXPECT_EQ(shown(dialog.Duke), "Green") << "no name leaks from the colour before";
    EXPECT_EQ(dialog.textlabel.fore, compose(1, 2, 3));
    EXPECT_EQ(dialog.ttcr, 1);
    press(dialog.Changecolorsok);
    EXPECT_EQ(components(main.state), before);

    open();
    pick(dialog.BCT, "White");
    press(dialog.Changecolorsok);
    EXPECT_EQ(main.state.BCTTcG, 255);
}

}  // namespace
}  // namespace dorvane
