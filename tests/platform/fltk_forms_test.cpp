// SPDX-License-Identifier: MIT
// Forms mirrored on real windows: layout in pixels, every control kind, the route from a
// widget to its handler and back to the widgets, access keys, activation, closing, painting.
#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <memory>

#include "platform/fltk_x_support.h"

namespace dorvane::testing {
namespace {

// Shows a fresh form and waits until its window is on the screen, focused and painted.
std::unique_ptr<TestForm> show(const std::string& name) {
    auto form = std::make_unique<TestForm>(name);
    backend().route([&] { form->visible = true; });
    TestForm* f = form.get();
    EXPECT_TRUE(
        wait_for([f] { return window_of(*f) && window_of(*f)->visible() && f->paints > 0; }));
    return form;
}

TEST(FltkForms, LaysOutControlsInPixelsAtFifteenTwipsEach) {
    auto form = show("layout");
    Fl_Window* w = window_of(*form);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->w(), 400);
    EXPECT_EQ(w->h(), 300);  // no menu bar: the whole client area is the form's
    Fl_Widget* button = widget_of(*form, form->button);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->x(), 8);
    EXPECT_EQ(button->y(), 8);
    EXPECT_EQ(button->w(), 100);
    EXPECT_EQ(button->h(), 30);
    // Children of a frame are placed relative to it.
    Fl_Widget* framed = widget_of(*form, form->framed_b);
    ASSERT_NE(framed, nullptr);
    EXPECT_EQ(framed->x(), (1800 + 150) / 15);
    EXPECT_EQ(framed->y(), (120 + 750) / 15);
    EXPECT_EQ(framed->parent(), widget_of(*form, form->frame));
    // Tab order follows the controls' order.
    EXPECT_LT(w->find(widget_of(*form, form->button)), w->find(widget_of(*form, form->option_a)));
}

TEST(FltkForms, RoutesWidgetEventsToHandlersAndMirrorsWhatTheyChange) {
    auto form = show("route");
    TestForm* f = form.get();
    f->button.click = [f] {
        f->label.caption = "changed";
        f->label.back = 0x00FF00;
        f->option_b.visible = false;
        f->list.list_index = 2;
        f->label.place.top += 300;  // moved down by 20 pixels
    };
    widget_of(*f, f->button)->do_callback();
    EXPECT_STREQ(widget_of(*f, f->label)->label(), "changed");
    EXPECT_EQ(widget_of(*f, f->label)->color(), fl_rgb_color(0, 255, 0));
    EXPECT_FALSE(widget_of(*f, f->option_b)->visible());
    EXPECT_EQ(static_cast<Fl_Choice*>(widget_of(*f, f->list))->value(), 2);
    EXPECT_EQ(widget_of(*f, f->label)->y(), (1500 + 300) / 15);

    // An option chosen by the user runs the same selection as one chosen from code.
    int chosen = 0;
    f->option_a.click = [&chosen] { ++chosen; };
    auto* a = static_cast<Fl_Button*>(widget_of(*f, f->option_a));
    a->value(1);
    a->do_callback();
    EXPECT_TRUE(f->option_a.value);
    EXPECT_FALSE(f->option_b.value);
    EXPECT_EQ(chosen, 1);
    backend().route([f] { choose_option(*f, f->option_b); });
    EXPECT_EQ(a->value(), 0);
    EXPECT_EQ(static_cast<Fl_Button*>(widget_of(*f, f->option_b))->value(), 1);
    // A frame's options are a group of their own.
    backend().route([f] { choose_option(*f, f->framed_a); });
    EXPECT_TRUE(f->option_b.value);

    auto* list = static_cast<Fl_Choice*>(widget_of(*f, f->list));
    list->value(1);
    list->do_callback();
    EXPECT_EQ(f->list.list_index, 1);
    EXPECT_EQ(f->picks, 1);
}

TEST(FltkForms, ShowsTextsAsTheyAre) {
    auto form = show("texts");
    EXPECT_STREQ(widget_of(*form, form->option_a)->label(), "a&b@c.map");
    EXPECT_STREQ(static_cast<Fl_Input*>(widget_of(*form, form->text))->value(), "IS");
    auto* files = static_cast<Fl_Browser*>(widget_of(*form, form->files));
    ASSERT_EQ(files->size(), 3);
    EXPECT_STREQ(files->text(2), "b.map");
}

TEST(FltkForms, AltWithTheAccessKeyPressesAButtonAndAPlainLetterDoesNot) {
    auto form = show("keys");
    TestForm* f = form.get();
    activate(window_of(*f));
    ASSERT_TRUE(wait_for([] { return Fl::focus() != nullptr; }));
    type_key("g");
    settle();
    EXPECT_EQ(f->presses, 0);
    type_key("g", true);
    EXPECT_TRUE(wait_for([f] { return f->presses == 1; }));
    // Escape does not close a form.
    type_key("Escape");
    settle();
    EXPECT_EQ(f->closes, 0);
    EXPECT_TRUE(window_of(*f)->visible());
}

TEST(FltkForms, FileListSelectsOnAClickAndRaisesItsDoubleClick) {
    auto form = show("files");
    TestForm* f = form.get();
    activate(window_of(*f));
    auto* files = static_cast<Fl_Browser*>(widget_of(*f, f->files));
    int row = files->textsize() + 4;  // a generous row height: rows start further apart
    int x = window_of(*f)->x() + files->x() + 20;
    int top = window_of(*f)->y() + files->y() + Fl::box_dy(files->box());
    int second = top + row + row / 2 - 2, third = top + 2 * row + row / 2 - 1;
    click_at(x, third);
    EXPECT_TRUE(wait_for([f] { return f->files.list_index == 2; }));
    // A double click elsewhere: the first of its clicks selects, the second raises the event.
    click_at(x, second, 2);
    EXPECT_TRUE(wait_for([f] { return f->dbl_clicks == 1; }));
    EXPECT_EQ(f->files.list_index, 1);
    settle();
    EXPECT_EQ(f->dbl_clicks, 1);
}

TEST(FltkForms, ActivationRunsWhenAFormBecomesTheProgramsActiveWindow) {
    // (A form is active when the program's keyboard focus is in one of its widgets.)
    auto first = show("first");
    auto second = show("second");
    TestForm *a = first.get(), *b = second.get();
    activate(window_of(*a));
    ASSERT_TRUE(wait_for([a] { return a->activations >= 1; }));
    int a_before = a->activations, b_before = b->activations;
    activate(window_of(*b));
    EXPECT_TRUE(wait_for([b, b_before] { return b->activations == b_before + 1; }));
    activate(window_of(*a));
    EXPECT_TRUE(wait_for([a, a_before] { return a->activations == a_before + 1; }));
    // Hidden and shown again: a showing activates it again.
    backend().route([a] { a->visible = false; });
    settle();
    int again = a->activations;
    backend().route([a] { a->visible = true; });
    activate(window_of(*a));
    EXPECT_TRUE(wait_for([a, again] { return a->activations == again + 1; }));
}

TEST(FltkForms, ReturningFromAnotherProgramDoesNotActivateAgain) {
    auto form = show("alone");
    TestForm* f = form.get();
    activate(window_of(*f));
    ASSERT_TRUE(wait_for([f] { return f->activations >= 1; }));
    int before = f->activations;
    OtherProgramWindow other;
    ASSERT_TRUE(other.activate());
    activate(window_of(*f));
    ASSERT_TRUE(wait_for([f] { return Fl::focus() && Fl::focus()->window() == window_of(*f); }));
    settle();
    EXPECT_EQ(f->activations, before);
}

TEST(FltkForms, AFormThatIsNotModelessHoldsTheInputWhileShown) {
    auto modal = std::make_unique<TestForm>("modal");
    modal->modeless = false;
    TestForm* m = modal.get();
    backend().route([m] { m->visible = true; });
    ASSERT_TRUE(wait_for([m] { return window_of(*m) && m->paints > 0; }));
    EXPECT_EQ(Fl::modal(), window_of(*m));
    backend().route([m] { m->visible = false; });
    EXPECT_TRUE(wait_for([] { return Fl::modal() == nullptr; }));
}

TEST(FltkForms, CloseControlRunsFrameClosedWhichMayDestroyTheForm) {
    auto form = show("closing");
    TestForm* f = form.get();
    f->on_close = [&form] { form.reset(); };
    request_close(window_of(*f));
    EXPECT_TRUE(wait_for([&form] { return form == nullptr; }));
    settle();
    EXPECT_EQ(window_of(TestForm("probe")), nullptr);  // no window left behind
}

TEST(FltkForms, PaintRunsTheHandlerWithTheOuterSizeAndReadablePoints) {
    auto form = show("paint");
    TestForm* f = form.get();
    ASSERT_TRUE(wait_for([f] { return f->outer_h > 4500; }));
    // Outer size: the client plus the frame's extents (openbox has a title bar).
    EXPECT_GT(f->outer_h, 4500 + 15 * 10);
    EXPECT_GE(f->outer_w, 6000);
    EXPECT_TRUE(f->shows_origin);
    EXPECT_FALSE(f->shows_outside);
    int before = f->paints;
    window_of(*f)->redraw();
    EXPECT_TRUE(wait_for([f, before] { return f->paints > before; }));
}

TEST(FltkForms, AWindowFramedAnewPaintsWithItsNewOuterSize) {
    auto form = show("reframed");
    TestForm* f = form.get();
    ASSERT_TRUE(wait_for([f] { return f->outer_h > 4500 + 15 * 10; }));
    undecorate(window_of(*f));  // the window manager drops the title bar and borders
    EXPECT_TRUE(wait_for([f] { return f->outer_h == 4500; }));
}

}  // namespace
}  // namespace dorvane::testing
