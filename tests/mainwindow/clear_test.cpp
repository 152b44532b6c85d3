// SPDX-License-Identifier: MIT
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
    expect_current(5);
    EXPECT_TRUE(services.messages.empty());
    expect_table_mirrors_captions();
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 5);
    std::vector<std::string> lines = file_lines();
    ASSERT_EQ(lines.size(), 77u);
    EXPECT_EQ(lines[4], slot_line(104, "a.map"));
    EXPECT_EQ(lines[5], slot_line(105, ""));

    // A free slot: the same file once more.
    std::string before = folder.read(kDatabaseFile);
    press(main.Clear);
    EXPECT_EQ(services.writes, 2);
    EXPECT_EQ(folder.read(kDatabaseFile), before);
}

TEST_F(ClearSlot, AFailedSaveIsReportedAndTheSlotStaysClearedInMemory) {
    fill({{2, "a.map"}});
    main.choose_slot(2);
    std::string before = folder.read(kDatabaseFile);
    services.fail_writes = "disk full";
    press(main.Clear);
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(main.state.maps[2].mapname, "");
    EXPECT_EQ(folder.read(kDatabaseFile), before);
    services.fail_writes.reset();
    press(main.Clear);
    expect_file(Numbering::ByMapnum, 2);
}

TEST_F(ClearDatabase, AsksFirstAndNoChangesNothing) {
    fill({{0, "a.map"}, {67, "z.map"}});
    main.choose_slot(67);
    std::string before = folder.read(kDatabaseFile);
    services.answers = {Answer::No};
    main.clearmaps_Click();

    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, "Are you sure you want to erase the entire Database?");
    EXPECT_EQ(services.messages[0].title, "Erase All Maps");
    EXPECT_EQ(services.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(main.Option1[0].caption, "a.map");
    EXPECT_EQ(main.state.maps[67].mapname, "z.map");
    EXPECT_EQ(services.writes, 0);
    EXPECT_EQ(folder.read(kDatabaseFile), before);
}

// The test double answers no question on its own: a test that forgets to script the answer to
// "Clear Database" fails instead of erasing the catalogue and passing.
TEST_F(ClearDatabase, AnUnscriptedQuestionFailsAndErasesNothing) {
    fill({{0, "a.map"}, {67, "z.map"}});
    std::string before = folder.read(kDatabaseFile);
    EXPECT_THROW(main.clearmaps_Click(), UnscriptedQuestion);
    EXPECT_EQ(main.state.maps[0].mapname, "a.map");
    EXPECT_EQ(services.writes, 0);
    EXPECT_EQ(folder.read(kDatabaseFile), before);
}

TEST_F(ClearDatabase, YesEmptiesEverySlotAndKeepsNumbersAndSelection) {
    fill({{0, "a.map"}, {33, "m.map"}, {67, "z.map"}});
    main.choose_slot(33);
    services.answers = {Answer::Yes};
    main.clearmaps_Click();

    EXPECT_EQ(captions(), std::vector<std::string>(kSlots));
    expect_table_mirrors_captions();
    expect_numbers_kept();
    expect_current(33);

    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByIndex, 33);
    std::vector<std::string> lines = file_lines();
    ASSERT_EQ(lines.size(), 77u);
    for (int i = 0; i < kSlots; ++i)
        EXPECT_EQ(lines[i], slot_line(i, ""));
    EXPECT_EQ(lines[68], "33");

    // The next ordinary write numbers the lines by the numbers kept in memory.
    press(main.Clear);
    EXPECT_EQ(file_lines()[10], slot_line(110, ""));
}

}  // namespace
}  // namespace dorvane
