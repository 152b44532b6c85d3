// SPDX-License-Identifier: MIT
#include "platform/wrap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dorvane {
namespace {

using Lines = std::vector<std::string>;

// A proportional face: UTF-8 sequences count as one character.
int measure(std::string_view text) {
    int width = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80)
            continue;
        width += c == 'W' || c == 'M' ? 15 : 10;
    }
    return width;
}

Lines wrap(std::string_view caption, int width) {
    return wrap_caption(caption, width, measure);
}

// Caption, width, lines. Ten units a character; "W" and "M" fifteen; "&" before a letter none.
const struct {
    std::string_view caption;
    int width;
    Lines lines;
} kWraps[] = {
    // A caption that fits stays one line as it is.
    {"Without Maps  |", 160, {"Without Maps  |"}},
    {"Ok", 20, {"Ok"}},
    {"", 100, {}},
    // Breaks at blanks first, dropping the blanks at each break.
    {"Run In Duke3d", 60, {"Run In", "Duke3d"}},
    {"Okeli Dokeli Doo!", 120, {"Okeli Dokeli", "Doo!"}},
    {"a  b   c", 40, {"a  b", "c"}},
    {"  lead and trail  ", 80, {"lead and", "trail"}},
    // A word wider than the width breaks inside (the about box's tall narrow button); only that
    // word, and what is left of it takes the next words that fit with it.
    {"ANSWER", 40, {"ANS", "WER"}},
    {"ANSWER", 34, {"ANS", "WE", "R"}},
    {"go ANSWERING now", 50, {"go", "ANSW", "ERING", "now"}},
    {"ABCDEFG h", 50, {"ABCDE", "FG h"}},
    // One character a line when not even one fits.
    {"ABC", 5, {"A", "B", "C"}},
    {"AB", -1, {"A", "B"}},
    {"   ", -1, {""}},
    // An access key stays with its character; "&&" is one plain '&', one character wide.
    {"&Quit", 40, {"&Quit"}},
    {"Run In &Duke3d", 60, {"Run In", "&Duke3d"}},
    {"AB&CD", 20, {"AB", "&CD"}},
    {"A&BCD", 20, {"A&B", "CD"}},
    {"A&&BC", 20, {"A&&", "BC"}},
    {"Salt && Pepper", 80, {"Salt &&", "Pepper"}},
    // A multi-byte character is never split.
    {"\xc3\xa9\xc3\xa9\xc3\xa9", 20, {"\xc3\xa9\xc3\xa9", "\xc3\xa9"}},
    {"&\xc3\x89t\xc3\xa9", 20, {"&\xc3\x89t", "\xc3\xa9"}},
    // The caption's own line breaks are kept.
    {"one\ntwo", 100, {"one", "two"}},
    {"one\r\n\r\ntwo three", 50, {"one", "", "two", "three"}},
};

TEST(WrapCaption, Table) {
    for (const auto& c : kWraps)
        EXPECT_EQ(wrap(c.caption, c.width), c.lines) << "\"" << c.caption << "\" at " << c.width;
}

TEST(WrapCaption, EveryLineFitsAndNothingIsLost) {
    const std::string caption = "Sort-O-Matic WWWWWWWW and &more  words, MMM";
    for (int width = 1; width <= 200; ++width) {
        std::string joined;
        for (const std::string& line : wrap(caption, width)) {
            EXPECT_TRUE(measure(shown_text(line)) <= width || shown_text(line).size() == 1)
                << "\"" << line << "\" at width " << width;
            joined += line;
        }
        std::string letters;
        for (char c : caption) {
            if (c != ' ')
                letters += c;
        }
        joined.erase(std::remove(joined.begin(), joined.end(), ' '), joined.end());
        EXPECT_EQ(joined, letters) << "at width " << width;
    }
}

TEST(ShownText, DropsAccessKeyMarks) {
    EXPECT_EQ(shown_text("Run In &Duke3d"), "Run In Duke3d");
    EXPECT_EQ(shown_text("Salt && &Pepper"), "Salt & Pepper");
    EXPECT_EQ(shown_text("trailing&"), "trailing&");
    EXPECT_EQ(shown_text(""), "");
}

}  // namespace
}  // namespace dorvane
