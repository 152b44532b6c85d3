// SPDX-License-Identifier: MIT
#include <algorithm>

#include "mainwindow/editing_fixture.h"

namespace dorvane {
namespace {

using SortMaps = testing::Editing;

TEST_F(SortMaps, PacksAndSortsTheNamedSlotsAndTellsTheUser) {
    fill({{3, "c.map"}, {10, "a.map"}, {50, "b.map"}});
    main.choose_slot(50);
    main.sort_Click();

    std::vector<std::string> expected(kSlots);
    expected[0] = "a.map";
    expected[1] = "b.map";
    expected[2] = "c.map";
    EXPECT_EQ(captions(), expected);
    expect_table_mirrors_captions();
    expect_numbers_kept();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, "Finished Sorting");
    EXPECT_EQ(services.messages[0].title, "Sort-O-Matic");
    EXPECT_EQ(services.messages[0].buttons, Buttons::Ok);
    expect_current(0);
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 50);  // written before slot 0 was chosen
    std::vector<std::string> lines = file_lines();
    ASSERT_EQ(lines.size(), 77u);
    EXPECT_EQ(lines[2], slot_line(102, "c.map"));
    EXPECT_EQ(lines[3], slot_line(103, ""));
}

TEST_F(SortMaps, OrdersByCharacterCodeWithCaseMattering) {
    fill({{0, "e1l10.map"},
          {1, "e1l1.map"},
          {2, "E2L1.MAP"},
          {3, "a.map"},
          {4, "0.map"},
          {5, "-x.map"},
          {6, "e1l1.map"},
          {7, "Z.map"},
          {8, "e1l1"}});
    main.sort_Click();
    std::vector<std::string> expected = {"-x.map", "0.map",    "E2L1.MAP", "Z.map",    "a.map",
                                         "e1l1",   "e1l1.map", "e1l1.map", "e1l10.map"};
    expected.resize(kSlots);
    EXPECT_EQ(captions(), expected);
}

TEST_F(SortMaps, SortsAFullCatalogueOverAllSlots) {
    std::vector<std::pair<int, std::string>> names;
    for (int i = 0; i < kSlots; ++i) {  // descending, the most passes a bubble sort needs
        // Appended, not "m" + a temporary: GCC 12 warns falsely (-Wrestrict) on that.
        std::string name = "m";
        name += std::to_string(1000 - i);
        name += ".map";
        names.emplace_back(i, name);
    }
    fill(names);
    main.sort_Click();
    std::vector<std::string> got = captions();
    EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
    EXPECT_EQ(got.front(), "m1000.map");  // "1" sorts before "9"
    EXPECT_EQ(got.back(), "m999.map");
    EXPECT_EQ(std::count(got.begin(), got.end(), ""), 0);
    expect_table_mirrors_captions();
}

TEST_F(SortMaps, AnEmptyCatalogueStaysEmptyAndIsStillConfirmed) {
    main.choose_slot(9);
    main.sort_Click();
    EXPECT_EQ(captions(), std::vector<std::string>(kSlots));
    expect_table_mirrors_captions();
    EXPECT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(main.state.map, 0);
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 9);
}

TEST_F(SortMaps, ANameThatIsTheEmptySlotMarkerComesOutEmpty) {
    const std::string marker = "\xC2\xA5-Qim";
    fill({{0, marker}, {1, "b.map"}, {2, "a.map"}});
    main.sort_Click();
    std::vector<std::string> expected = {"a.map", "b.map"};
    expected.resize(kSlots);
    EXPECT_EQ(captions(), expected);
    expect_table_mirrors_captions();
}

}  // namespace
}  // namespace dorvane
