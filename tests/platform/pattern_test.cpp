// SPDX-License-Identifier: MIT
#include "platform/pattern.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

TEST(MatchesPattern, StarsAndQuestionMarksIgnoringAsciiCase) {
    EXPECT_TRUE(matches_pattern("E1L8.MAP", "*.map"));
    EXPECT_TRUE(matches_pattern(".map", "*.map"));
    EXPECT_TRUE(matches_pattern("a.map.map", "*.map"));
    EXPECT_TRUE(matches_pattern("Qimdat.dat.damaged-12", "qimdat.dat.damaged-*"));
    EXPECT_TRUE(matches_pattern("", "*"));
    EXPECT_TRUE(matches_pattern("aXbXc", "a*b*c"));
    EXPECT_TRUE(matches_pattern("abc", "a?c"));
    EXPECT_FALSE(matches_pattern("e1l8.mapx", "*.map"));
    EXPECT_FALSE(matches_pattern("e1l8.ma", "*.map"));
    EXPECT_FALSE(matches_pattern("a-b-d", "a*b*c"));
    EXPECT_FALSE(matches_pattern("ac", "a?c"));
    EXPECT_FALSE(matches_pattern("", "?"));
    EXPECT_FALSE(matches_pattern("\xc9.map", "\xe9.map"));  // only ASCII letters fold
}

}  // namespace
}  // namespace dorvane
