// SPDX-License-Identifier: MIT
#include "platform/fltk_x_support.h"

#include "platform/fltk/widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Group.H>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

// Last: the X11 macros clash with the program's names.
#include <FL/x.H>
#include <X11/extensions/XTest.h>

#include "platform/x11/ewmh.h"

namespace dorvane::testing {

fltk::FltkServices& backend() {
    static fltk::FltkServices services;
    return services;
}

bool wait_for(const std::function<bool()>& done, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Fl::wait(0.01);
    }
    return true;
}

void settle(double seconds) {
    wait_for([] { return false; }, seconds);
}

Fl_Window* window_of(const Form& form) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (w->label() && form.caption == w->label())
            return w;
    }
    return nullptr;
}

namespace {

Fl_Widget* find_in(Fl_Group* group, const Control& control) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        auto* view = static_cast<fltk::View*>(w->user_data());
        if (view && view->control == &control && w->user_data() != nullptr)
            return w;
        if (Fl_Group* inner = w->as_group()) {
            if (Fl_Widget* found = find_in(inner, control))
                return found;
        }
    }
    return nullptr;
}

}  // namespace

Fl_Widget* widget_of(const Form& form, const Control& control) {
    Fl_Window* window = window_of(form);
    return window ? find_in(window, control) : nullptr;
}

void activate(Fl_Window* window) {
    x11::request_activation(fl_display, fl_xid(window));
}

void request_close(Fl_Window* window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = fl_xid(window);
    e.xclient.message_type = XInternAtom(fl_display, "_NET_CLOSE_WINDOW", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = CurrentTime;
    e.xclient.data.l[1] = 2;  // from a pager: the user's own request
    XSendEvent(fl_display, DefaultRootWindow(fl_display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(fl_display);
}

void type_key(const std::string& keysym, bool alt) {
    KeyCode code = XKeysymToKeycode(fl_display, XStringToKeysym(keysym.c_str()));
    KeyCode alt_code = XKeysymToKeycode(fl_display, XK_Alt_L);
    if (alt)
        XTestFakeKeyEvent(fl_display, alt_code, True, 0);
    XTestFakeKeyEvent(fl_display, code, True, 0);
    XTestFakeKeyEvent(fl_display, code, False, 0);
    if (alt)
        XTestFakeKeyEvent(fl_display, alt_code, False, 0);
    XFlush(fl_display);
}

void click_at(int x, int y, int clicks) {
    XTestFakeMotionEvent(fl_display, -1, x, y, 0);
    for (int i = 0; i < clicks; ++i) {
        XTestFakeButtonEvent(fl_display, 1, True, 0);
        XTestFakeButtonEvent(fl_display, 1, False, 0);
    }
    XFlush(fl_display);
}

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr double kLook = 0.05, kAgain = 2.0;

}  // namespace

BoxAnswerer::BoxAnswerer(std::vector<std::string> keys, double seconds)
    : keys_(std::move(keys)), start_(now()), seconds_(seconds) {
    Fl::add_timeout(kLook, look, this);
}

BoxAnswerer::~BoxAnswerer() {
    Fl::remove_timeout(look, this);
    if (gave_up_)
        ADD_FAILURE() << "the message box never took the keys, and was closed after " << seconds_
                      << " s";
}

void BoxAnswerer::look(void* data) {
    auto* self = static_cast<BoxAnswerer*>(data);
    Fl_Window* box = Fl::modal();
    const double t = now();
    if (box && t - self->start_ > self->seconds_) {
        self->gave_up_ = true;
        box->hide();
        return;
    }
    bool ready = box && Fl::focus() && Fl::focus()->top_window() == box &&
                 x11::holds_focus(fl_display, fl_xid(box));
    if (ready && !self->keys_.empty() &&
        (self->next_ < self->keys_.size() || t - self->last_ >= kAgain)) {
        const std::string& key = self->keys_[std::min(self->next_, self->keys_.size() - 1)];
        if (self->next_ < self->keys_.size())
            ++self->next_;
        if (key == "close")
            request_close(box);
        else
            type_key(key);
        self->last_ = t;
    }
    Fl::repeat_timeout(kLook, look, data);
}

OtherProgramWindow::OtherProgramWindow() : display_(XOpenDisplay(nullptr)), window_(0) {
    if (!display_)
        return;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(display_, window_, "another program");
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display_, window_, &hints);
    XMapWindow(display_, window_);
    XSync(display_, False);
}

OtherProgramWindow::~OtherProgramWindow() {
    if (display_)
        XCloseDisplay(display_);
}

bool OtherProgramWindow::activate() {
    if (!display_)
        return false;
    x11::request_activation(display_, window_);
    return wait_for([this] {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display_, &focus, &revert);
        return focus == window_;
    });
}

}  // namespace dorvane::testing
