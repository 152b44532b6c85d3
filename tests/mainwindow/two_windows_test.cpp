// SPDX-License-Identifier: MIT
// Two windows on one game folder, each saving after its own commands: neither undoes what the
// other saved without a word. Changes to different slots both survive; changes to the same slot
// are the user's choice; a file left in a state no window wrote is kept aside.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

std::string names_file() {
    State state = first_run_record();
    const char* names[] = {"zeta.map", "alpha.map", "", "mid.map", "", "five.map", "beta.map"};
    for (int i = 0; i < 7; ++i)
        state.maps[i].mapname = names[i];
    state.selected_map = 1;
    return format_database(state, Numbering::ByMapnum);
}

struct TwoWindows : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services_a{folder.str()}, services_b{folder.str()};
    Dorvane a{services_a}, b{services_b};

    void SetUp() override {
        folder.write(kDatabaseFile, names_file());
        a.Form_Load();
        b.Form_Load();
        ASSERT_TRUE(services_a.messages.empty());
        ASSERT_TRUE(services_b.messages.empty());
    }

    State file() const { return parse_database(folder.read(kDatabaseFile)).record; }
    static void expect_captions_follow(const Dorvane& w) {
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(w.Option1[i].caption, w.state.maps[i].mapname) << "slot " << i;
    }
};

TEST_F(TwoWindows, ChangesToDifferentSlotsBothSurvive) {
    a.choose_slot(5);
    a.Clear_Click();
    b.choose_slot(3);
    b.Quit_Click();  // B had changed nothing but its selection
    EXPECT_EQ(file().maps[5].mapname, "");
    EXPECT_EQ(file().selected_map, 3);
    EXPECT_EQ(services_b.ended, 1);

    // B took the clear in with its save. Now A adds a map while B moves slot 0 to slot 2.
    a.choose_slot(4);
    a.state.t_mapname = "added.map";
    a.state.t_mapnum = 4;
    a.savemaps();
    b.choose_slot(0);
    b.Moveme_Click();
    b.choose_slot(2);
    b.Towhere_Click();
    State now = file();
    EXPECT_EQ(now.maps[4].mapname, "added.map");
    EXPECT_EQ(now.maps[5].mapname, "");
    EXPECT_EQ(now.maps[0].mapname, "");
    EXPECT_EQ(now.maps[2].mapname, "zeta.map");
    // B's window now shows what A saved.
    EXPECT_EQ(b.Option1[4].caption, "added.map");
    EXPECT_EQ(b.Option1[5].caption, "");
    expect_captions_follow(b);
    EXPECT_TRUE(services_a.messages.empty());
    EXPECT_TRUE(services_b.messages.empty());

    // A, which saw its own file last, takes B's move in at its next save.
    a.Quit_Click();
    now = file();
    EXPECT_EQ(now.maps[2].mapname, "zeta.map");
    EXPECT_EQ(now.maps[4].mapname, "added.map");
    EXPECT_EQ(now.selected_map, 4);
}

TEST_F(TwoWindows, TheSameChangeOnBothSidesAsksNothing) {
    a.sort_Click();
    // B clears slot 6 ("beta.map" in B's window), which the sort emptied too.
    b.choose_slot(6);
    b.Clear_Click();
    EXPECT_TRUE(services_b.messages.empty());
    EXPECT_EQ(file().maps[1].mapname, "beta.map");
    EXPECT_EQ(file().maps[6].mapname, "");
    EXPECT_EQ(b.Option1[1].caption, "beta.map");
}

TEST_F(TwoWindows, YesKeepsThisWindowsVersionOfTheSlotsBothChanged) {
    a.choose_slot(3);
    a.state.t_mapname = "from a.map";
    a.state.t_mapnum = 3;
    a.savemaps();
    b.choose_slot(3);
    services_b.answers = {Answer::Yes};
    b.Clear_Click();  // slot 3 changed by both
    b.choose_slot(0);
    ASSERT_EQ(services_b.messages.size(), 1u);
    EXPECT_NE(services_b.messages[0].prompt.find("slot 4"), std::string::npos);
    EXPECT_EQ(file().maps[3].mapname, "");
    // A then clears slot 0: slot 3 is B's and stays so, with no question, since A did not
    // touch it again.
    a.choose_slot(0);
    a.Clear_Click();
    EXPECT_TRUE(services_a.messages.empty());
    EXPECT_EQ(file().maps[3].mapname, "");
    EXPECT_EQ(file().maps[0].mapname, "");
    EXPECT_EQ(a.Option1[3].caption, "");
}

TEST_F(TwoWindows, ColoursAreMergedLikeSlots) {
    a.state.dcr = 12;  // as the colour dialog leaves them, until the next save
    a.Quit_Click();
    b.Quit_Click();
    EXPECT_EQ(file().dcr, 12);
    EXPECT_EQ(b.state.dcr, 12);
    EXPECT_TRUE(services_b.messages.empty());

    // Both change the colours, differently: asked; No takes the file's.
    b.state.dcr = 99;
    services_a.answers = {Answer::No};
    a.state.tcr = 7;
    b.Quit_Click();
    a.Quit_Click();
    ASSERT_EQ(services_a.messages.size(), 1u);
    EXPECT_NE(services_a.messages[0].prompt.find("the colours"), std::string::npos);
    EXPECT_EQ(file().dcr, 99);
    EXPECT_EQ(file().tcr, 255);
}

TEST_F(TwoWindows, AFileAnotherProgramBrokeOrRemovedIsNotLost) {
    folder.write(kDatabaseFile, "written by something else");
    a.choose_slot(5);
    a.Clear_Click();
    ASSERT_EQ(services_a.messages.size(), 1u);
    EXPECT_NE(services_a.messages[0].prompt.find("Qimdat.dat.damaged-1"), std::string::npos)
        << services_a.messages[0].prompt;
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), "written by something else");
    EXPECT_EQ(file().maps[5].mapname, "");
    EXPECT_EQ(file().maps[0].mapname, "zeta.map");

    std::filesystem::remove(folder.path() / kDatabaseFile);
    b.Quit_Click();
    EXPECT_TRUE(services_b.messages.empty());
    EXPECT_EQ(file().maps[5].mapname, "five.map");  // B's catalogue, all there was left
}

}  // namespace
}  // namespace dorvane
