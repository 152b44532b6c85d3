// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "mainwindow/ordinal.h"

namespace dorvane {
namespace {

TEST(OrdinalOrder, AsciiByCharacterCode) {
    EXPECT_TRUE(ordinal_less("e1l1.map", "e1l10.map"));
    EXPECT_TRUE(ordinal_less("E2L1.MAP", "e1l1.map"));
    EXPECT_TRUE(ordinal_less("-", "."));
    EXPECT_TRUE(ordinal_less(".", "0"));
    EXPECT_TRUE(ordinal_less("9", "A"));
    EXPECT_TRUE(ordinal_less("e1l1", "e1l1.map"));  // a proper prefix first
    EXPECT_FALSE(ordinal_less("a.map", "a.map"));
    EXPECT_FALSE(ordinal_less("b", "a"));
}

TEST(OrdinalOrder, FollowsUtf16WhereItDiffersFromCodePoints) {
    const std::string yen = "\xC2\xA5";              // U+00A5
    const std::string private_use = "\xEE\x80\x80";  // U+E000
    const std::string replacement = "\xEF\xBF\xBD";  // U+FFFD
    const std::string grin = "\xF0\x9F\x98\x80";     // U+1F600, D83D DE00 in UTF-16
    EXPECT_TRUE(ordinal_less("z", yen));
    EXPECT_TRUE(ordinal_less(yen, grin));
    EXPECT_TRUE(ordinal_less(grin, private_use));
    EXPECT_TRUE(ordinal_less(grin, replacement));
    EXPECT_EQ(utf16_units(grin), std::u16string({0xD83D, 0xDE00}));
    EXPECT_EQ(utf16_units("a" + yen), std::u16string({u'a', 0x00A5}));
}

TEST(OrdinalOrder, InvalidBytesStayDistinctAndOrdered) {
    EXPECT_EQ(utf16_units("\xC3"), std::u16string({0xDCC3}));                          // cut short
    EXPECT_EQ(utf16_units("\xC0\xAF"), std::u16string({0xDCC0, 0xDCAF}));              // overlong
    EXPECT_EQ(utf16_units("\xED\xA0\x80"), std::u16string({0xDCED, 0xDCA0, 0xDC80}));  // surrogate
    EXPECT_EQ(utf16_units("\xF4\x90\x80\x80").size(), 4u);  // above U+10FFFF
    EXPECT_TRUE(ordinal_less("\xFE", "\xFF"));
    EXPECT_FALSE(ordinal_less("\xFF", "\xFE"));
    EXPECT_NE(utf16_units("\xFF"), utf16_units("\xEF\xBF\xBD"));
}

}  // namespace
}  // namespace dorvane
