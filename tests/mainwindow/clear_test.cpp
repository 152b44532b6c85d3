#include "mainwindow/editing_fixture.h"

namespace dorvane {
namespace {

using ClearSlot = testing::Editing;
using ClearDatabase = testing::Editing;

TEST_F(ClearSlot, EmptiesOnlyTheCurrentSlotAndKeepsItChosen) {
    fill({{4, "a.map"}, {5, "b.map"}, {6, "c.map"}});
    main.choose_slot(5);
    press(main.Clear);

    EXPECT_EQ(main.Option1[5].caption, "");
    EXPECT_EQ(main.state.maps[5].mapname, "");
    EXPECT_EQ(main.state.maps[5].mapnum, 105);
    EXPECT_EQ(main.Option1[4].caption, "a.map");
    EXPECT_EQ(main.Option1[6].caption, "c.map");
    EXPECT_EQ(main.state.map, 5);
    EXPECT_EQ(main.state.selected_map, 5);
    EXPECT_TRUE(main.Option1[5].value);
    EXPECT_TRUE(services.messages.empty());
    expect_table_mirrors_captions();
}

TEST_F(ClearDatabase, AsksFirstAndNoChangesNothing) {
    fill({{0, "a.map"}, {67, "z.map"}});
    main.choose_slot(67);
    services.answers = {Answer::No};
    main.clearmaps_Click();

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, "Are you sure you want to erase the entire Database?");
    EXPECT_EQ(services.messages[0].title, "Erase All Maps");
    EXPECT_EQ(services.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(main.Option1[0].caption, "a.map");
    EXPECT_EQ(main.state.maps[67].mapname, "z.map");
    EXPECT_EQ(services.writes, 0);
}

TEST_F(ClearDatabase, YesEmptiesEverySlotAndKeepsNumbersAndSelection) {
    fill({{0, "a.map"}, {33, "m.map"}, {67, "z.map"}});
    main.choose_slot(33);
    services.answers = {Answer::Yes};
    main.clearmaps_Click();

    EXPECT_EQ(captions(), std::vector<std::string>(kSlots));
    expect_table_mirrors_captions();
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(main.state.maps[i].mapnum, 100 + i);
    EXPECT_EQ(main.state.map, 33);
    EXPECT_EQ(main.state.selected_map, 33);
    EXPECT_TRUE(main.Option1[33].value);
}

}  // namespace
}  // namespace dorvane
