// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct MainWindowLayout : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
};

TEST_F(MainWindowLayout, SlotsRunFourToARowInSeventeenRows) {
    EXPECT_EQ(main.Option1[0].place.left, 120);
    EXPECT_EQ(main.Option1[0].place.top, 120);
    EXPECT_EQ(main.Option1[7].place.left, 4800);
    EXPECT_EQ(main.Option1[7].place.top, 480);
    EXPECT_EQ(main.Option1[65].place.left, 1680);
    EXPECT_EQ(main.Option1[65].place.top, 5880);
    for (const Control& slot : main.Option1) {
        EXPECT_EQ(slot.place.width, 1455);
        EXPECT_EQ(slot.place.height, 315);
        EXPECT_EQ(slot.kind, ControlKind::OptionButton);
        EXPECT_FALSE(slot.value);
    }
}

TEST_F(MainWindowLayout, ControlsStandInFocusOrder) {
    int last = -1;
    for (const Control* c : main.controls) {
        EXPECT_GT(c->focus_place, last) << c->name;
        last = c->focus_place;
    }
    EXPECT_EQ(main.Option1[0].focus_place, 9);
    EXPECT_EQ(main.Option1[67].focus_place, 76);
    EXPECT_EQ(main.controls.size(), 9u + 68u + 6u);
}

TEST_F(MainWindowLayout, OnlyTheMoveTargetStartsHidden) {
    for (const Control* c : main.controls)
        EXPECT_EQ(c->visible, c != &main.Towhere) << c->name;
}

TEST_F(MainWindowLayout, MenuBarHasSixEntriesWithTheirShortcuts) {
    ASSERT_EQ(main.menu.size(), 6u);
    std::string captions, keys;
    for (const MenuEntry& entry : main.menu) {
        captions += entry.caption + "/";
        for (const MenuItem& item : entry.items)
            keys += item.ctrl_key;
    }
    EXPECT_EQ(captions, "File  |/With Maps  |/Without Maps  |/All Maps  |/Change Colors  |/Help/");
    EXPECT_EQ(keys, "qbsdcteoza");
    EXPECT_TRUE(main.menu[4].items.empty());
    EXPECT_TRUE(main.menu[4].click);
}

TEST_F(MainWindowLayout, SelectingASlotSetsMapAndSelectedMap) {
    main.choose_slot(12);
    EXPECT_EQ(main.state.map, 12);
    EXPECT_EQ(main.state.selected_map, 12);
    EXPECT_TRUE(main.Option1[12].value);
    choose_option(main, main.Option1[5]);  // the user's click
    EXPECT_EQ(main.state.map, 5);
    EXPECT_EQ(main.state.selected_map, 5);
    EXPECT_FALSE(main.Option1[12].value);
}

}  // namespace
}  // namespace dorvane
