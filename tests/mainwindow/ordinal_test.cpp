// SPDX-License-Identifier: MIT
// Ordinal order and the catalogue's sort, which packs the names to the top in that order.
#include "mainwindow/ordinal.h"

#include <gtest/gtest.h>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

// Each name sorts before the next: by character code, a proper prefix first; U+00A5 and U+1F600
// (D83D DE00 in UTF-16) before U+E000 and U+FFFD; a byte of no valid UTF-8 (overlong, cut short,
// a surrogate, above U+10FFFF, FE, FF) as U+DC00 plus it.
const std::string kOrder[] = {"-",
                              ".",
                              "0",
                              "9",
                              "A",
                              "E2L1.MAP",
                              "e1l1",
                              "e1l1.map",
                              "e1l10.map",
                              "z",
                              "\xC2\xA5",
                              "\xF0\x9F\x98\x80",
                              "\xC0\xAF",
                              "\xC3",
                              "\xED\xA0\x80",
                              "\xF4\x90\x80\x80",
                              "\xFE",
                              "\xFF",
                              "\xEE\x80\x80",
                              "\xEF\xBF\xBD"};

TEST(OrdinalOrder, EveryNameBeforeTheNext) {
    for (const std::string& a : kOrder) {
        for (const std::string& b : kOrder)
            EXPECT_EQ(ordinal_less(a, b), &a < &b) << a << " against " << b;
    }
    EXPECT_EQ(utf16_units("\xF0\x9F\x98\x80"), std::u16string({0xD83D, 0xDE00}));
}

TEST(Sort, PacksTheNamesInOrdinalOrderAndSavesThem) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    const int names = std::size(kOrder);
    for (int i = 0; i < names; ++i)  // backwards, in every third slot
        main.Option1[3 * i + 1].caption = kOrder[names - 1 - i];
    main.sort_Click();
    const State file = parse_database(folder.read(kDatabaseFile)).record;
    for (int i = 0; i < kSlots; ++i) {
        EXPECT_EQ(main.Option1[i].caption, i < names ? kOrder[i] : "") << "slot " << i;
        EXPECT_EQ(file.maps[i].mapname, main.Option1[i].caption) << "slot " << i;
    }
    EXPECT_EQ(main.state.map, 0);
}

}  // namespace
}  // namespace dorvane
