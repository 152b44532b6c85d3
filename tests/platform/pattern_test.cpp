// SPDX-License-Identifier: MIT
#include "platform/pattern.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

TEST(MatchesPattern, StarsAndQuestionMarksIgnoringAsciiCase) {
    EXPECT_TRUE(matches_pattern("E1L8.MAP", "*.map"));
    EXPECT_TRUE(matches_pattern("a.map.map", "*.map"));
    EXPECT_TRUE(matches_pattern("", "*"));
    EXPECT_TRUE(matches_pattern("aXbXc", "a*b*c"));
    EXPECT_TRUE(matches_pattern("abc", "a?c"));
    EXPECT_FALSE(matches_pattern("e1l8.mapx", "*.map"));
    EXPECT_FALSE(matches_pattern("a-b-d", "a*b*c"));
    EXPECT_FALSE(matches_pattern("ac", "a?c"));
    EXPECT_FALSE(matches_pattern("", "?"));
    EXPECT_FALSE(matches_pattern("\xc9.map", "\xe9.map"));  // only ASCII letters fold
}

// The match's choice among names offered in folder order, and whether the exact name was there.
std::string best_of(const std::string& wanted, std::initializer_list<std::string_view> names) {
    CaseBlindMatch match(wanted);
    for (std::string_view name : names)
        match.offer(name);
    return match.best().value_or("(none)") + (match.exact() ? ", exact" : "");
}

TEST(CaseBlindMatch, ExactNameFirstThenTheFirstInByteOrder) {
    EXPECT_EQ(best_of("e1l8.map", {"E1L8.MAP", "e1l8.map", "E1l8.map"}), "e1l8.map, exact");
    EXPECT_EQ(best_of("e1l8.map", {"e1L8.map", "E1l8.map", "E1L8.MAP"}), "E1L8.MAP");
    EXPECT_EQ(best_of("Build.exe", {"build.exe", "x"}), "build.exe");
    EXPECT_EQ(best_of("a.map", {"a.map.bak", "a.ma", "b.map", ""}), "(none)");
    EXPECT_EQ(best_of("\xc3\xa9.map", {"\xc3\x89.MAP"}), "(none)");  // only ASCII letters fold
    EXPECT_EQ(best_of("[.map", {"{.map", "[.MAP"}), "[.MAP");        // '[' and '{' are no letters
}

}  // namespace
}  // namespace dorvane
