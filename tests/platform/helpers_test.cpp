// SPDX-License-Identifier: MIT
// The platform layer's pure helpers: caption wrapping, name patterns and the bound on one sleep.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "platform/clock_service.h"
#include "platform/pattern.h"
#include "platform/wrap.h"

namespace dorvane {
namespace {

// Ten units a character, "W" and "M" fifteen; a UTF-8 sequence is one character.
int measure(std::string_view text) {
    int width = 0;
    for (unsigned char c : text)
        width += (c & 0xC0) == 0x80 ? 0 : c == 'W' || c == 'M' ? 15 : 10;
    return width;
}

const std::tuple<std::string_view, int, std::vector<std::string>> kWraps[] = {
    // Fits to the unit; breaks at blanks, dropping them, then inside a word wider than the width
    // (the about box's tall narrow button), one character a line when not even one fits.
    {"Without Maps  |", 160, {"Without Maps  |"}},
    {"", 100, {}},
    {"a  b   c", 40, {"a  b", "c"}},
    {"  lead and trail  ", 80, {"lead and", "trail"}},
    {"go ANSWERING now", 50, {"go", "ANSW", "ERING", "now"}},
    {"ABCDEFG h", 50, {"ABCDE", "FG h"}},
    {"AB", -1, {"A", "B"}},
    {"   ", -1, {""}},
    // An access key stays with its character and takes no width ("&&" is one plain '&'); a
    // multi-byte character is never split; the caption's own line breaks are kept.
    {"Run In &Duke3d", 60, {"Run In", "&Duke3d"}},
    {"AB&CD", 20, {"AB", "&CD"}},
    {"A&BCD", 20, {"A&B", "CD"}},
    {"A&&BC", 20, {"A&&", "BC"}},
    {"&\xc3\x89t\xc3\xa9", 20, {"&\xc3\x89t", "\xc3\xa9"}},
    {"one\ntwo\r\n\r\nthree four", 50, {"one", "two", "", "three", "four"}},
};

TEST(WrapCaption, Table) {
    for (const auto& [caption, width, lines] : kWraps)
        EXPECT_EQ(wrap_caption(caption, width, measure), lines) << caption << " at " << width;
    EXPECT_EQ(shown_text("Salt && &Pepper"), "Salt & Pepper");
    EXPECT_EQ(shown_text("trailing&"), "trailing&");
}

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
    EXPECT_EQ(best_of("Build.exe", {"build.exe", "x"}), "build.exe");
    EXPECT_EQ(best_of("a.map", {"a.map.bak", "a.ma", "b.map", ""}), "(none)");
    EXPECT_EQ(best_of("\xc3\xa9.map", {"\xc3\x89.MAP"}), "(none)");  // only ASCII letters fold
    EXPECT_EQ(best_of("[.map", {"{.map", "[.MAP"}), "[.MAP");        // '[' and '{' are no letters
}

// A time that is no number or too long must not hang the program.
TEST(Sleep, WaitsWhatIsAskedWithinADayAndNothingForNoTime) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double t : {0.01, 2.0, 86399.5})
        EXPECT_EQ(wait_bound(t), t);
    for (double none : {0.0, -1.0, -inf, std::nan("")})
        EXPECT_EQ(wait_bound(none), 0.0) << none;
    for (double huge : {86400.0, 1e12, inf})
        EXPECT_EQ(wait_bound(huge), kLongestSleep) << huge;
}

}  // namespace
}  // namespace dorvane
