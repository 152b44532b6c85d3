// SPDX-License-Identifier: MIT
// Two windows on one game folder, each saving after its own commands: neither undoes what the
// other saved without a word. A change made on one side survives; a slot or the colours changed
// differently on both sides are the user's choice; a file no window wrote is kept aside.
#include <gtest/gtest.h>

#include <filesystem>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct TwoWindows {
    testing::TempFolder folder;
    HeadlessServices services_a{folder.str()}, services_b{folder.str()};
    Dorvane a{services_a}, b{services_b};
    TwoWindows() {
        State state = first_run_record();
        state.maps[0].mapname = "zeta.map", state.maps[3].mapname = "mid.map";
        folder.write(kDatabaseFile, format_database(state, Numbering::ByMapnum));
        a.Form_Load();
        b.Form_Load();
    }
    State file() const { return parse_database(folder.read(kDatabaseFile)).record; }
};

// Window A clears slot 1, sets slot 4 ("mid.map") and the map text's red (255), and quits; then
// B, open since before A's saves, sets them in turn (nullptr or -1: left alone) and quits. What B
// is asked about ("": nothing), and slot 4 and the red in the file at the end.
const struct {
    const char* a_slot;
    int a_red;
    const char* b_slot;
    int b_red;
    Answer answer;
    const char *question, *slot;
    int red;
} kMerges[] = {
    {"a.map", -1, nullptr, -1, Answer::Yes, "", "a.map", 255},
    {nullptr, 7, "b.map", -1, Answer::No, "", "b.map", 7},
    {"a.map", 7, "a.map", 7, Answer::No, "", "a.map", 7},
    {"a.map", -1, "b.map", -1, Answer::Yes, "changed slot 4.", "b.map", 255},
    {"a.map", -1, "b.map", 9, Answer::No, "changed slot 4.", "a.map", 9},
    {"", 7, "b.map", 9, Answer::No, "slot 4 and the colours. Save this window's version of them",
     "", 7},
    {"a.map", 7, "", 9, Answer::Yes, "changed slot 4 and the colours.", "", 9},
    {nullptr, 7, nullptr, 9, Answer::No, "changed the colours. Save this window's version of it",
     "mid.map", 7},
};

TEST(TwoWindows, EachKeepsTheOthersChangesAndAsksWhereBothDiffer) {
    auto edit = [](Dorvane& window, const char* slot, int red) {
        if (slot)
            window.state.maps[3].mapname = slot;
        if (red >= 0)
            window.state.tcr = red;
        window.Quit_Click();
    };
    for (const auto& c : kMerges) {
        SCOPED_TRACE("case " + std::to_string(&c - kMerges));
        TwoWindows w;
        w.a.choose_slot(0);
        w.a.Clear_Click();
        edit(w.a, c.a_slot, c.a_red);
        w.services_b.answers = {c.answer};
        w.b.choose_slot(5);
        edit(w.b, c.b_slot, c.b_red);
        const State file = w.file();
        EXPECT_EQ(file.maps[3].mapname, c.slot);
        EXPECT_EQ(file.tcr, c.red);
        EXPECT_EQ(file.maps[0].mapname, "");  // A's clear
        EXPECT_EQ(file.selected_map, 5);      // the window saved last stores its own
        EXPECT_EQ(w.b.state.tcr, file.tcr);   // B goes on with what it saved
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(w.b.Option1[i].caption, file.maps[i].mapname) << "slot " << i;
        EXPECT_EQ(w.services_b.messages.size(), *c.question ? 1u : 0u);
        for (const ShownMessage& asked : w.services_b.messages)
            EXPECT_NE(asked.prompt.find(c.question), std::string::npos) << asked.prompt;
    }
}

TEST(TwoWindows, AFileAnotherProgramBrokeOrRemovedIsNotLost) {
    TwoWindows w;
    w.folder.write(kDatabaseFile, "written by something else");
    w.a.choose_slot(3);
    w.a.Clear_Click();
    ASSERT_EQ(w.services_a.messages.size(), 1u);
    EXPECT_NE(w.services_a.messages[0].prompt.find("kept unchanged as Qimdat.dat.damaged-1"),
              std::string::npos);
    EXPECT_EQ(w.folder.read("Qimdat.dat.damaged-1"), "written by something else");
    EXPECT_EQ(w.file().maps[3].mapname, "");
    EXPECT_EQ(w.file().maps[0].mapname, "zeta.map");
    std::filesystem::remove(w.folder.path() / kDatabaseFile);
    w.b.Quit_Click();
    EXPECT_TRUE(w.services_b.messages.empty());
    EXPECT_EQ(w.file().maps[3].mapname, "mid.map");  // B's catalogue, all there was left
}

}  // namespace
}  // namespace dorvane
