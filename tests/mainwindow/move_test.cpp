// SPDX-License-Identifier: MIT
#include "mainwindow/editing_fixture.h"

namespace dorvane {
namespace {

struct MoveMap : testing::Editing {
    // Source slot current, Move Map, destination clicked, Towhere pressed.
    void move(int from, int to) {
        main.choose_slot(from);
        press(main.Moveme);
        choose_option(main, main.Option1[to]);
        press(main.Towhere);
    }
    std::vector<const Control*> column() const {
        return {&main.Addmap, &main.Build,  &main.Clear,  &main.Setup, &main.Duke3d,
                &main.Moveme, &main.Random, &main.Wobbin, &main.Quit};
    }
    void expect_normal_mode() const {
        EXPECT_FALSE(main.Towhere.visible);
        for (const Control* c : column())
            EXPECT_TRUE(c->visible) << c->name;
    }
};

TEST_F(MoveMap, MoveModeCoversTheColumnAndLeavesSlotsAndMenusAlone) {
    main.choose_slot(6);
    press(main.Moveme);
    EXPECT_EQ(main.state.temp, 6);
    EXPECT_TRUE(main.Towhere.visible);
    for (const Control* c : column())
        EXPECT_FALSE(c->visible) << c->name;
    for (const Control& slot : main.Option1)
        EXPECT_TRUE(slot.visible);
    for (const Control* label : {&main.Coke, &main.tttt2, &main.dixie, &main.can, &main.money})
        EXPECT_TRUE(label->visible);
    EXPECT_EQ(main.menu.size(), 6u);
    EXPECT_EQ(services.writes, 0);
}

TEST_F(MoveMap, ExchangesTwoNamesAndMakesSlotZeroCurrent) {
    fill({{4, "a.map"}, {9, "b.map"}});
    move(4, 9);
    EXPECT_EQ(main.Option1[4].caption, "b.map");
    EXPECT_EQ(main.Option1[9].caption, "a.map");
    expect_table_mirrors_captions();
    expect_numbers_kept();
    expect_current(0);
    EXPECT_FALSE(main.Option1[9].value);
    expect_normal_mode();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 9);  // written before slot 0 was chosen
    std::vector<std::string> lines = file_lines();
    ASSERT_EQ(lines.size(), 77u);
    EXPECT_EQ(lines[4], slot_line(104, "b.map"));
    EXPECT_EQ(lines[9], slot_line(109, "a.map"));
}

TEST_F(MoveMap, OntoAnEmptySlotAndFromAnEmptySlot) {
    fill({{1, "a.map"}, {20, "b.map"}});
    move(1, 2);
    EXPECT_EQ(main.Option1[1].caption, "");
    EXPECT_EQ(main.Option1[2].caption, "a.map");
    move(30, 20);
    EXPECT_EQ(main.Option1[30].caption, "b.map");
    EXPECT_EQ(main.Option1[20].caption, "");
    expect_table_mirrors_captions();
}

TEST_F(MoveMap, TowhereWithoutASecondClickChangesNoSlot) {
    fill({{12, "a.map"}, {0, "z.map"}});
    main.choose_slot(12);
    press(main.Moveme);
    press(main.Towhere);
    EXPECT_EQ(main.Option1[12].caption, "a.map");
    EXPECT_EQ(main.Option1[0].caption, "z.map");
    EXPECT_EQ(main.state.map, 0);
    expect_normal_mode();
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 12);
}

TEST_F(MoveMap, StaysArmedAcrossASort) {
    fill({{3, "c.map"}, {5, "a.map"}, {40, "b.map"}});
    main.choose_slot(40);
    press(main.Moveme);
    main.sort_Click();  // a, b, c in slots 0 to 2; slot 0 current
    EXPECT_EQ(main.state.temp, 40);
    EXPECT_TRUE(main.Towhere.visible);
    press(main.Towhere);  // slot 0 with slot 40, whatever the sort put there
    EXPECT_EQ(main.Option1[0].caption, "");
    EXPECT_EQ(main.Option1[40].caption, "a.map");
    EXPECT_EQ(main.Option1[1].caption, "b.map");
    expect_table_mirrors_captions();
    expect_normal_mode();
}

TEST_F(MoveMap, StaysArmedAcrossAClearAndThenExchangesEmptySlots) {
    fill({{3, "c.map"}, {5, "a.map"}});
    main.choose_slot(3);
    press(main.Moveme);
    services.answers = {Answer::Yes};
    main.clearmaps_Click();
    choose_option(main, main.Option1[5]);
    press(main.Towhere);
    EXPECT_EQ(captions(), std::vector<std::string>(kSlots));
    expect_table_mirrors_captions();
    EXPECT_EQ(main.state.map, 0);
}

}  // namespace
}  // namespace dorvane
