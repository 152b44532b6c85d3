// SPDX-License-Identifier: MIT
// The main window's paint, its sort, and two windows on one folder that never undo each other.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <tuple>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

// A clears slot 1, sets slot 4 ("mid.map") and the map text's red (255) and quits; then B, open
// since before, does too. Slot 4 by A, by B, saved; the red so; what B is asked ("": nothing).
using Merge = std::tuple<const char*, const char*, const char*, int, int, int, const char*, Answer>;

// Two windows on one catalogue; A paints on a canvas of its size that records each fill's colour.
struct Windows : ::testing::TestWithParam<Merge>, Canvas {
    testing::TempFolder folder;
    HeadlessServices services_a{folder.str()}, services_b{folder.str()};
    Dorvane a{services_a}, b{services_b};
    State& s = a.state;
    std::vector<Colour> fills;
    float unreadable = -1;  // the height of a point that cannot be read back
    double outer_width() const override { return 9750; }
    double outer_height() const override { return 7650; }
    void fill_rect(float, float, float, float, Colour colour) override { fills.push_back(colour); }
    bool shows_point(float, float y) const override { return y != unreadable; }
    void SetUp() override {
        State state = first_run_record();
        state.maps[0].mapname = "zeta.map", state.maps[3].mapname = "mid.map";
        state.selected_map = 99;  // no slot: each window starts on slot 0
        folder.write(kDatabaseFile, format_database(state, Numbering::ByMapnum));
        a.Form_Load();
        b.Form_Load();
        ASSERT_TRUE(a.state.map == 0 && b.state.selected_map == 0);
    }
    State file() const { return parse_database(folder.read(kDatabaseFile)).record; }
};

// Band k of 255 and slot row r of 17 lie k and r steps from the top colour toward the bottom
// one, each component rounded, halves to even; green spans the int limits a file may hold.
TEST_F(Windows, EachColourShowsWhereItBelongs) {
    EXPECT_EQ(compose(0.5, 1.5, 2.5), 0u + 256u * 2 + 65536u * 2);
    EXPECT_EQ(compose(3.5, 254.5, 255.4), 4u + 256u * 254 + 65536u * 255);
    EXPECT_EQ(compose(NAN, -4, 300), 0u + 0 + 65536u * 255);
    int value = 0;
    for (ColourField field : kColourFields)
        s.*field = value += 9;
    s.BCTTcR = 0, s.BCTTcG = INT_MAX, s.BCTTcB = 10, s.BCTBcR = 192, s.BCTBcG = INT_MIN;
    s.FCTTcR = INT_MIN, s.FCTTcG = 0, s.FCTTcB = 255, s.FCTBcR = INT_MAX, s.FCTBcG = 100;
    s.BCTBcB = 250, s.FCTBcB = 85;
    a.Form_Paint(*this);
    ASSERT_EQ(fills.size(), 255u);
    for (int k = 1; k <= 255; ++k) {
        EXPECT_EQ(fills[k - 1], compose(std::round(192.0 * k / 255),
                                        std::round(INT_MAX - (INT_MAX - double(INT_MIN)) * k / 255),
                                        std::round(10 + 240.0 * k / 255)))
            << "band " << k;
    }
    for (int i = 0; i < kSlots; ++i) {
        const int r = i / 4;
        EXPECT_EQ(a.Option1[i].back,
                  compose(std::round(INT_MIN + (INT_MAX - double(INT_MIN)) * r / 17),
                          std::round(100.0 * r / 17), 255 - 10 * r))
            << "slot " << i;
        EXPECT_EQ(a.Option1[i].fore, compose(s.tcr, s.tcg, s.tcb)) << "slot " << i;
    }
    EXPECT_EQ(a.Build.back, compose(s.bcr, s.bcg, s.BCB));
    EXPECT_EQ(a.Setup.back, compose(s.scr, s.scg, s.scb));
    EXPECT_EQ(a.Duke3d.back, compose(s.dcr, s.dcg, s.dcb));
    EXPECT_EQ(a.Random.back, compose(s.rcr, s.rcg, s.rcb));
    unreadable = a.money.place.top - 500;  // one unreadable sample hides every label
    for (bool shown : {true, false}) {
        for (Control* label : {&a.tttt2, &a.can, &a.Coke, &a.money, &a.dixie})
            EXPECT_EQ(label->visible, shown) << label->name;
        a.Form_Paint(*this);
    }
}

// Each name sorts before the next, row by row: by UTF-16 code units, a byte that is no valid
// UTF-8 counting as U+DC00 plus it.
const std::vector<std::string> kOrder[] = {
    {"-", "0", "A", "E2L1.MAP", "e1l1", "e1l1.map", "e1l10.map", "z"},  // by code, prefix first
    {"\xC2\xA5", "\xF0\x9F\x98\x80"},  // U+00A5, U+1F600 (D83D DE00 in UTF-16)
    {"\xC0\xAF", "\xC3", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFE", "\xFF"},  // no UTF-8
    {"\xEE\x80\x80", "\xEF\xBF\xBD"},                                          // U+E000, U+FFFD
};

TEST_F(Windows, SortPacksTheNamesInOrdinalOrderAndSavesThem) {
    std::vector<std::string> names;
    for (const auto& row : kOrder)
        names.insert(names.end(), row.begin(), row.end());
    for (std::size_t i = 0; i < kSlots; ++i)  // backwards, in every third slot
        a.Option1[i].caption =
            i % 3 == 1 && i / 3 < names.size() ? names[names.size() - 1 - i / 3] : "";
    a.sort_Click();
    for (std::size_t i = 0; i < kSlots; ++i) {
        EXPECT_EQ(a.Option1[i].caption, i < names.size() ? names[i] : "") << "slot " << i;
        EXPECT_EQ(file().maps[i].mapname, a.Option1[i].caption) << "slot " << i;
    }
}

TEST_P(Windows, EachKeepsTheOthersChangesAndAsksWhereBothDiffer) {
    const auto& [a_slot, b_slot, slot, a_red, b_red, red, question, answer] = GetParam();
    a.Clear_Click();
    a.state.maps[3].mapname = a_slot;
    a.state.tcr = a_red;
    a.Quit_Click();
    services_b.answers = {answer};
    b.choose_slot(5);
    b.state.maps[3].mapname = b_slot;
    b.state.tcr = b_red;
    b.Quit_Click();
    const State now = file();
    EXPECT_EQ(now.maps[3].mapname, slot);
    EXPECT_EQ(now.tcr, red);
    EXPECT_EQ(now.maps[0].mapname, "");  // A's clear
    EXPECT_EQ(now.selected_map, 5);      // the window saved last stores its own
    EXPECT_EQ(b.state.tcr, now.tcr);     // B goes on with what it saved
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(b.Option1[i].caption, now.maps[i].mapname) << "slot " << i;
    EXPECT_EQ(services_b.messages.size(), *question ? 1u : 0u);
    for (const ShownMessage& asked : services_b.messages)
        EXPECT_NE(asked.prompt.find(question), std::string::npos) << asked.prompt;
}

const Merge kMerges[] = {
    {"a.map", "mid.map", "a.map", 255, 255, 255, "", Answer::Yes},
    {"mid.map", "b.map", "b.map", 7, 255, 7, "", Answer::No},
    {"a.map", "a.map", "a.map", 7, 7, 7, "", Answer::No},
    {"a.map", "b.map", "b.map", 255, 255, 255, "changed slot 4.", Answer::Yes},
    {"a.map", "b.map", "a.map", 255, 9, 9, "changed slot 4.", Answer::No},
    {"", "b.map", "", 7, 9, 7, "slot 4 and the colours. Save this window's version of them",
     Answer::No},
    {"a.map", "", "", 7, 9, 9, "changed slot 4 and the colours.", Answer::Yes},
    {"mid.map", "mid.map", "mid.map", 7, 9, 7, "changed the colours. Save", Answer::No},
};
INSTANTIATE_TEST_SUITE_P(TwoWindows, Windows, ::testing::ValuesIn(kMerges));

TEST_F(Windows, AFileAnotherProgramBrokeOrRemovedIsNotLost) {
    folder.write(kDatabaseFile, "written by something else");
    a.choose_slot(3);
    a.Clear_Click();
    EXPECT_NE(services_a.messages.at(0).prompt.find("Qimdat.dat.damaged-1"), std::string::npos);
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), "written by something else");
    EXPECT_EQ(file().maps[3].mapname, "");
    std::filesystem::remove(folder.path() / kDatabaseFile);
    b.Quit_Click();
    EXPECT_TRUE(services_b.messages.empty());
    EXPECT_EQ(file().maps[3].mapname, "mid.map");  // B's catalogue, all there was left
}

}  // namespace
}  // namespace dorvane
