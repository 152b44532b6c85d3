// SPDX-License-Identifier: MIT
#include "platform/ascii.h"

#include <string>

#include <gtest/gtest.h>

namespace dorvane {
namespace {

// Every byte value once, in order.
std::string all_bytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

TEST(AsciiCase, OnlyTheTwentySixLettersChange) {
    const std::string bytes = all_bytes();
    const std::string lower = ascii_lower(bytes);
    const std::string upper = ascii_upper(bytes);
    ASSERT_EQ(lower.size(), 256u);
    ASSERT_EQ(upper.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        bool capital = b >= 'A' && b <= 'Z', small = b >= 'a' && b <= 'z';
        EXPECT_EQ(static_cast<unsigned char>(lower[b]), capital ? b + 32 : b) << b;
        EXPECT_EQ(static_cast<unsigned char>(upper[b]), small ? b - 32 : b) << b;
        EXPECT_EQ(ascii_lower(static_cast<char>(b)), lower[b]) << b;
        EXPECT_EQ(ascii_upper(static_cast<char>(b)), upper[b]) << b;
    }
    EXPECT_EQ(ascii_lower("E1L8.MAP"), "e1l8.map");
    EXPECT_EQ(ascii_upper("build"), "BUILD");
    EXPECT_EQ(ascii_lower(""), "");
}

TEST(SameIgnoringCase, LettersFoldOtherBytesMustMatch) {
    EXPECT_TRUE(same_ignoring_case("Build.EXE", "build.exe"));
    EXPECT_TRUE(same_ignoring_case("", ""));
    EXPECT_FALSE(same_ignoring_case("build.exe", "build.ex"));
    EXPECT_FALSE(same_ignoring_case("[", "{"));  // 0x5B and 0x7B differ by 32 too
    EXPECT_FALSE(same_ignoring_case("@", "`"));
    EXPECT_FALSE(same_ignoring_case("\xc9", "\xe9"));
    EXPECT_FALSE(same_ignoring_case(std::string("a\0b", 3), std::string("a\0c", 3)));
}

}  // namespace
}  // namespace dorvane
