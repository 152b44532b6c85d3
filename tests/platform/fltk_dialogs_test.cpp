// SPDX-License-Identifier: MIT
// The message boxes: the answer each key and the close control give.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fltk_x_support.h"

namespace dorvane::testing {
namespace {

Answer ask(Buttons buttons, std::vector<std::string> keys) {
    BoxAnswerer answerer(std::move(keys));
    return backend().message_box("Question?", "Title", buttons);
}

TEST(FltkMessageBox, OkIsAnsweredByReturnEscapeOrTheCloseControl) {
    EXPECT_EQ(ask(Buttons::Ok, {"Return"}), Answer::Ok);
    EXPECT_EQ(ask(Buttons::Ok, {"Escape"}), Answer::Ok);
    EXPECT_EQ(ask(Buttons::Ok, {"close"}), Answer::Ok);
}

TEST(FltkMessageBox, YesNoTakesYNAndReturnOnTheFocusedButton) {
    EXPECT_EQ(ask(Buttons::YesNo, {"y"}), Answer::Yes);
    EXPECT_EQ(ask(Buttons::YesNo, {"n"}), Answer::No);
    EXPECT_EQ(ask(Buttons::YesNo, {"Return"}), Answer::Yes);
    EXPECT_EQ(ask(Buttons::YesNo, {"Tab", "Return"}), Answer::No);
}

TEST(FltkMessageBox, AQuestionCannotBeDismissedWithoutAnAnswer) {
    // Escape and the close control do nothing; the later N is the answer.
    EXPECT_EQ(ask(Buttons::YesNo, {"Escape", "close", "n"}), Answer::No);
}

}  // namespace
}  // namespace dorvane::testing
