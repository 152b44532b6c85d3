// SPDX-License-Identifier: MIT
#include "platform/wrap.h"

#include <gtest/gtest.h>

#include <tuple>

namespace dorvane {
namespace {

// Ten units a character, "W" and "M" fifteen; a UTF-8 sequence is one character.
int measure(std::string_view text) {
    int width = 0;
    for (unsigned char c : text)
        width += (c & 0xC0) == 0x80 ? 0 : c == 'W' || c == 'M' ? 15 : 10;
    return width;
}

// Caption, width, lines.
const std::tuple<std::string_view, int, std::vector<std::string>> kWraps[] = {
    // Fits to the unit; breaks at blanks, dropping them, then inside a word wider than the width
    // (the about box's tall narrow button), one character a line when not even one fits.
    {"Without Maps  |", 160, {"Without Maps  |"}},
    {"", 100, {}},
    {"Okeli Dokeli Doo!", 120, {"Okeli Dokeli", "Doo!"}},
    {"a  b   c", 40, {"a  b", "c"}},
    {"  lead and trail  ", 80, {"lead and", "trail"}},
    {"ANSWER", 34, {"ANS", "WE", "R"}},
    {"go ANSWERING now", 50, {"go", "ANSW", "ERING", "now"}},
    {"ABCDEFG h", 50, {"ABCDE", "FG h"}},
    {"AB", -1, {"A", "B"}},
    {"   ", -1, {""}},
    // An access key stays with its character and takes no width ("&&" is one plain '&'); a
    // multi-byte character is never split; the caption's own line breaks are kept.
    {"&Quit", 40, {"&Quit"}},
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

}  // namespace
}  // namespace dorvane
