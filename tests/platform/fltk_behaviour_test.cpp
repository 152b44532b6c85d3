// SPDX-License-Identifier: MIT
// The FLTK backend in an X session with a window manager, driven by real X input: the event
// rules' cases, and the answer each key and the close control give a message box.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <chrono>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/behaviour_cases.h"
#include "platform/fltk/form_window.h"
#include "platform/fltk/services.h"

// Last: the X11 macros clash with the program's names.
#include <FL/x.H>
#include <X11/extensions/XTest.h>

#include "platform/x11/ewmh.h"

namespace dorvane::testing {
namespace {

fltk::FltkServices& backend() {
    static fltk::FltkServices services;
    return services;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool keyboard_in(const Fl_Window* window) {
    return window && Fl::focus() && Fl::focus()->top_window() == window;
}

fltk::FormWindow* window_of(const Form& form) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->label() && form.caption == w->label())
            return dynamic_cast<fltk::FormWindow*>(w);
    return nullptr;
}

// What the window manager sends for the frame's close control.
void request_close(Fl_Window* window) {
    XEvent e{.xclient = {.type = ClientMessage,
                         .window = fl_xid(window),
                         .message_type = XInternAtom(fl_display, "_NET_CLOSE_WINDOW", False),
                         .format = 32,
                         .data = {.l = {CurrentTime, 2}}}};  // 2: from a pager, the user's own
    XSendEvent(fl_display, DefaultRootWindow(fl_display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(fl_display);
}

// A key pressed and let go ("y", "Return", "Tab"), with a modifier key (0: none) held around it.
void type_key(const std::string& keysym, KeySym held = 0) {
    KeySym key = XStringToKeysym(keysym.c_str());
    for (auto [k, down] : {std::pair{held, True}, {key, True}, {key, False}, {held, False}})
        if (k)
            XTestFakeKeyEvent(fl_display, XKeysymToKeycode(fl_display, k), down, 0);
    XFlush(fl_display);
}

// Answers the next message box with each key ("close": the frame's close control) once it holds
// the X focus; the last is typed again every 2 s (one typed as the focus moves may be lost).
struct BoxAnswerer {
    std::vector<std::string> keys;
    std::size_t next = 0;
    double start = now(), last = 0;

    explicit BoxAnswerer(std::vector<std::string> answer) : keys(std::move(answer)) {
        Fl::add_timeout(0.05, look, this);
    }
    ~BoxAnswerer() { Fl::remove_timeout(look, this); }
    static void look(void* data) {
        auto* self = static_cast<BoxAnswerer*>(data);
        Fl_Window* box = Fl::modal();
        double t = now();
        if (box && t - self->start > 20) {
            ADD_FAILURE() << "the message box still open after 20 s was closed";
            return box->hide();
        }
        bool ready = keyboard_in(box) && x11::holds_focus(fl_display, fl_xid(box));
        if (ready && (self->next < self->keys.size() || t - self->last >= 2)) {
            const std::string& key = self->keys[std::min(self->next++, self->keys.size() - 1)];
            if (key == "close")
                request_close(box);
            else
                type_key(key);
            self->last = t;
        }
        Fl::repeat_timeout(0.05, look, data);
    }
};

struct FltkBehaviour : ::testing::Test, BehaviourRig {
    // Another program: a connection of its own to the X server.
    std::unique_ptr<Display, int (*)(Display*)> other{nullptr, XCloseDisplay};

    void created(Form& form) override { backend().form_created(form); }
    void destroyed(Form& form) override { backend().form_destroyed(form); }
    void route(const std::function<void()>& handler) override { backend().route(handler); }
    bool wait(const std::function<bool()>& done, double seconds) override {
        for (double end = now() + seconds; !done() && now() < end;)
            Fl::wait(0.01);
        return done();
    }
    bool active(const Form& form) override { return keyboard_in(window_of(form)); }
    const Control* focused(const Form& form) override {
        return active(form) ? window_of(form)->control_of(Fl::focus()) : nullptr;
    }
    void switch_to(Form& form) override {
        x11::request_activation(fl_display, fl_xid(window_of(form)));
    }
    void other_program() override {
        other.reset(XOpenDisplay(nullptr));
        Display* d = other.get();
        Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 200, 100, 0, 0, 0);
        XMapWindow(d, w);
        XSync(d, False);
        x11::request_activation(d, w);
        ASSERT_TRUE(until([&] { return x11::holds_focus(d, w); }));
    }
    void click(Form& form, Control& control) override {
        fltk::FormWindow* window = window_of(form);
        Fl_Widget* widget = window ? window->widget_of(&control) : nullptr;
        ASSERT_TRUE(widget) << control.name;
        // A text box at its right end, where the text ends.
        int dx = control.kind == ControlKind::TextBox ? widget->w() - 4 : widget->w() / 2;
        XTestFakeMotionEvent(fl_display, -1, window->x() + widget->x() + dx,
                             window->y() + widget->y() + widget->h() / 2, 0);
        XTestFakeButtonEvent(fl_display, 1, True, 0);
        XTestFakeButtonEvent(fl_display, 1, False, 0);
        XFlush(fl_display);
    }
    void close_frame(Form& form) override { request_close(window_of(form)); }
    void key(Key key) override {
        const std::string name = key.code == Key::kEnter    ? "Return"
                                 : key.code == Key::kEscape ? "Escape"
                                                            : std::string(1, key.code);
        type_key(name, key.alt ? XK_Alt_L : key.ctrl ? XK_Control_L : 0);
    }
    void left_arrow() override { type_key("Left"); }
};

DORVANE_BEHAVIOUR_CASES(FltkBehaviour)

TEST(FltkMessageBox, TheAnswerOfEachKeyAndOfTheCloseControl) {
    const std::tuple<Buttons, std::vector<std::string>, Answer> cases[] = {
        {Buttons::Ok, {"Escape"}, Answer::Ok},
        {Buttons::Ok, {"close"}, Answer::Ok},
        {Buttons::YesNo, {"Return"}, Answer::Yes},  // on the focused button
        {Buttons::YesNo, {"Tab", "Return"}, Answer::No},
        // A question cannot be dismissed without an answer: the later Y is the answer.
        {Buttons::YesNo, {"Escape", "close", "y"}, Answer::Yes},
    };
    for (const auto& [buttons, keys, answer] : cases) {
        BoxAnswerer answerer(keys);
        EXPECT_EQ(backend().message_box("Question?", "Title", buttons), answer) << keys[0];
    }
}

}  // namespace
}  // namespace dorvane::testing
