// SPDX-License-Identifier: MIT
// The X input method of the FLTK backend: not opened at start-up, not by the pointer entering a
// window, and opened, bound to the window, when a text box first takes the focus; until then
// keys still mean what they mean with it open. (That typed
// dead keys and compose sequences then arrive is the about box's end-to-end test.)
#include <FL/Fl.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/fltk/input_method.h"
#include "platform/fltk_x_support.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names
#include <X11/XKBlib.h>

extern XIC fl_xim_ic;

namespace dorvane::testing {
namespace {

void click_on(Fl_Window* window, Fl_Widget* widget) {
    click_at(window->x_root() + widget->x() + widget->w() / 2,
             window->y_root() + widget->y() + widget->h() / 2);
}

Window focus_window_of_input_context() {
    Window focus = 0;
    if (fl_xim_ic)
        XGetICValues(fl_xim_ic, XNFocusWindow, &focus, nullptr);
    return focus;
}

TEST(FltkInputMethod, OpensOnlyWhenATextBoxFirstTakesTheFocus) {
    // A locale whose Compose table the X libraries have, as a user's UTF-8 desktop has.
    unsetenv("LC_ALL");
    unsetenv("LC_CTYPE");
    unsetenv("XMODIFIERS");
    setenv("LANG", "C.UTF-8", 1);
    auto form = std::make_unique<TestForm>("typing");
    backend().route([&] { form->visible = true; });
    ASSERT_TRUE(wait_for([&] { return window_of(*form) && form->paints > 0; }));
    Fl_Window* window = window_of(*form);
    activate(window);
    EXPECT_FALSE(fltk::input_method_open()) << "opened at start-up";

    // The pointer entering the window, and a click on a button, leave it closed.
    click_on(window, widget_of(*form, form->button));
    ASSERT_TRUE(wait_for([&] { return form->presses == 1; }));
    EXPECT_FALSE(fltk::input_method_open()) << "opened without a text box";

    // Access keys work in the keyboard's second layout group too (Russian beside US), as they
    // do with the input method open: the key is taken as its first group's letter.
    ASSERT_EQ(std::system("setxkbmap -layout us,ru"), 0);
    XkbLockGroup(fl_display, XkbUseCoreKbd, 1);
    XSync(fl_display, False);
    type_key("g", true);
    EXPECT_TRUE(wait_for([&] { return form->presses == 2; })) << "Alt+G in the second group";
    XkbLockGroup(fl_display, XkbUseCoreKbd, 0);
    XSync(fl_display, False);

    click_on(window, widget_of(*form, form->text));
    ASSERT_TRUE(wait_for([&] { return Fl::focus() == widget_of(*form, form->text); }));
    EXPECT_TRUE(fltk::input_method_open());
    // Bound to the window that has the X focus, without waiting for another FocusIn.
    EXPECT_EQ(focus_window_of_input_context(), fl_xid(window));

    // A window shown later gets the input context when it takes the focus.
    auto other = std::make_unique<TestForm>("second");
    backend().route([&] { other->visible = true; });
    ASSERT_TRUE(wait_for([&] { return window_of(*other) && other->paints > 0; }));
    activate(window_of(*other));
    EXPECT_TRUE(
        wait_for([&] { return focus_window_of_input_context() == fl_xid(window_of(*other)); }));
}

}  // namespace
}  // namespace dorvane::testing
