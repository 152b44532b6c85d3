// SPDX-License-Identifier: MIT
// The message boxes: the answers each key and the close control give, and that the program's
// other windows take no input while one is open.
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

struct Probe {
    TestForm* form;
    Fl_Window* modal = nullptr;
    int step = 0, looks = 0;
};

// Once the box is up: click the form's button behind it, then dismiss the box.
void probe_box(void* data) {
    auto* p = static_cast<Probe*>(data);
    if (!Fl::modal() || (p->step == 0 && !Fl::focus())) {
        if (++p->looks < 200)
            Fl::repeat_timeout(0.05, probe_box, data);
        else if (Fl::modal())
            Fl::modal()->hide();  // the test fails on probe.modal, instead of waiting for ever
        return;
    }
    if (p->step++ == 0) {
        p->modal = Fl::modal();
        Fl_Window* behind = window_of(*p->form);
        Fl_Widget* button = widget_of(*p->form, p->form->button);
        click_at(behind->x() + button->x() + button->w() / 2,
                 behind->y() + button->y() + button->h() / 2);
        Fl::repeat_timeout(0.3, probe_box, data);
        return;
    }
    p->modal->do_callback();  // the close control: OK
}

TEST(FltkMessageBox, OtherWindowsTakeNoInputWhileABoxIsOpen) {
    TestForm form("behind");
    backend().route([&form] { form.visible = true; });
    ASSERT_TRUE(wait_for([&form] { return window_of(form) && form.paints > 0; }));
    activate(window_of(form));
    ASSERT_TRUE(wait_for([&form] { return form.activations > 0; }));
    // The button does take a click when no box is open.
    Fl_Widget* button = widget_of(form, form.button);
    click_at(window_of(form)->x() + button->x() + 5, window_of(form)->y() + button->y() + 5);
    ASSERT_TRUE(wait_for([&form] { return form.presses == 1; }));

    Probe probe{&form};
    Fl::add_timeout(0.05, probe_box, &probe);
    EXPECT_EQ(backend().message_box("Busy", "Title", Buttons::Ok), Answer::Ok);
    Fl::remove_timeout(probe_box, &probe);
    ASSERT_NE(probe.modal, nullptr);
    EXPECT_NE(probe.modal, window_of(form));
    settle();
    EXPECT_EQ(form.presses, 1);
}

}  // namespace
}  // namespace dorvane::testing
