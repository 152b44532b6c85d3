// SPDX-License-Identifier: MIT
#include "platform/wrap.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dorvane {
namespace {

using Lines = std::vector<std::string>;

// Ten units a character, counting UTF-8 sequences as one; 'W' and 'M' take fifteen, as in a
// proportional face.
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

TEST(WrapCaption, ACaptionThatFitsStaysOneLineAsItIs) {
    EXPECT_EQ(wrap("Without Maps  |", 160), Lines{"Without Maps  |"});
    EXPECT_EQ(wrap("Ok", 20), Lines{"Ok"});
    EXPECT_EQ(wrap("", 100), Lines{});
}

TEST(WrapCaption, BreaksAtBlanksFirstDroppingTheBlanksAtEachBreak) {
    EXPECT_EQ(wrap("Run In Duke3d", 60), (Lines{"Run In", "Duke3d"}));
    EXPECT_EQ(wrap("Okeli Dokeli Doo!", 120), (Lines{"Okeli Dokeli", "Doo!"}));
    EXPECT_EQ(wrap("a  b   c", 40), (Lines{"a  b", "c"}));
    EXPECT_EQ(wrap("  lead and trail  ", 80), (Lines{"lead and", "trail"}));
}

TEST(WrapCaption, BreaksAWordWiderThanTheWidthInside) {
    // The about box's tall narrow button: 3 characters fit, but "W" is wide.
    EXPECT_EQ(wrap("ANSWER", 40), (Lines{"ANS", "WER"}));
    EXPECT_EQ(wrap("ANSWER", 34), (Lines{"ANS", "WE", "R"}));
    // Only the word that does not fit is broken; the words around it stay whole.
    EXPECT_EQ(wrap("go ANSWERING now", 50), (Lines{"go", "ANSW", "ERING", "now"}));
    // What is left of a broken word takes the next words that fit with it.
    EXPECT_EQ(wrap("ABCDEFG h", 50), (Lines{"ABCDE", "FG h"}));
}

TEST(WrapCaption, PutsOneCharacterOnALineWhenNotEvenOneFits) {
    EXPECT_EQ(wrap("ABC", 5), (Lines{"A", "B", "C"}));
    EXPECT_EQ(wrap("AB", -1), (Lines{"A", "B"}));
    EXPECT_EQ(wrap("   ", -1), Lines{""});
}

TEST(WrapCaption, KeepsAccessKeysWithTheirCharacterAndMeasuresThemAsShown) {
    // "&" takes no width: "&Quit" is four characters wide.
    EXPECT_EQ(wrap("&Quit", 40), Lines{"&Quit"});
    EXPECT_EQ(wrap("Run In &Duke3d", 60), (Lines{"Run In", "&Duke3d"}));
    // A break inside a word never parts the mark from its letter.
    EXPECT_EQ(wrap("AB&CD", 20), (Lines{"AB", "&CD"}));
    EXPECT_EQ(wrap("A&BCD", 20), (Lines{"A&B", "CD"}));
    // "&&" is one plain '&', one character wide.
    EXPECT_EQ(wrap("A&&BC", 20), (Lines{"A&&", "BC"}));
    EXPECT_EQ(wrap("Salt && Pepper", 80), (Lines{"Salt &&", "Pepper"}));
}

TEST(WrapCaption, NeverSplitsAMultiByteCharacter) {
    EXPECT_EQ(wrap("\xc3\xa9\xc3\xa9\xc3\xa9", 20), (Lines{"\xc3\xa9\xc3\xa9", "\xc3\xa9"}));
    EXPECT_EQ(wrap("&\xc3\x89t\xc3\xa9", 20), (Lines{"&\xc3\x89t", "\xc3\xa9"}));
}

TEST(WrapCaption, KeepsTheCaptionsOwnLineBreaks) {
    EXPECT_EQ(wrap("one\ntwo", 100), (Lines{"one", "two"}));
    EXPECT_EQ(wrap("one\r\n\r\ntwo three", 50), (Lines{"one", "", "two", "three"}));
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
