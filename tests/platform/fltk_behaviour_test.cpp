// SPDX-License-Identifier: MIT
// The event rules' cases on the FLTK backend, driven by real X input in an X session with a
// window manager.
#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Window.H>

#include <memory>

#include "platform/behaviour_cases.h"
#include "platform/fltk/form_window.h"
#include "platform/fltk_x_support.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names
#include <X11/extensions/XTest.h>

namespace dorvane::testing {
namespace {

struct FltkBehaviour : ::testing::Test, BehaviourRig {
    std::unique_ptr<OtherProgramWindow> other;

    void created(Form& form) override { backend().form_created(form); }
    void destroyed(Form& form) override { backend().form_destroyed(form); }
    void route(const std::function<void()>& handler) override { backend().route(handler); }
    bool until(const std::function<bool()>& done) override { return wait_for(done); }
    void settle() override { testing::settle(); }

    bool show(Form& form) override {
        route([&form] { form.visible = true; });
        if (!wait_for([&form] { return window_of(form) && window_of(form)->visible(); }))
            return false;
        // The window manager gives a new window the keyboard; ask for it where it did not yet.
        if (!wait_for([&] { return active(form); }, 1))
            activate(window_of(form));
        return wait_for([&] { return active(form); });
    }
    bool active(const Form& form) override {
        Fl_Window* window = window_of(form);
        return window && Fl::focus() && Fl::focus()->top_window() == window;
    }
    const Control* focused(const Form& form) override {
        auto* window = dynamic_cast<fltk::FormWindow*>(window_of(form));
        if (!window || !active(form))
            return nullptr;
        return window->control_of(Fl::focus());
    }
    void switch_to(Form& form) override {
        activate(window_of(form));
        if (other && wait_for([&] { return active(form); }))
            other.reset();
    }
    void other_program() override {
        other = std::make_unique<OtherProgramWindow>();
        ASSERT_TRUE(other->activate());
    }
    void message_box() override {
        BoxAnswerer answerer({"Return"});
        route([] { backend().message_box("Really?", "Title", Buttons::Ok); });
    }
    void click(Form& form, Control& control) override {
        Fl_Window* window = window_of(form);
        Fl_Widget* widget = widget_of(form, control);
        ASSERT_TRUE(window && widget);
        // A text box at its right end, where the text ends.
        int dx = control.kind == ControlKind::TextBox ? widget->w() - 4 : widget->w() / 2;
        click_at(window->x() + widget->x() + dx, window->y() + widget->y() + widget->h() / 2);
    }
    void type(const std::string& letters) override {
        for (char letter : letters)
            type_key(std::string(1, letter));
    }
    void left_arrow() override { type_key("Left"); }
    void close_frame(Form& form) override { request_close(window_of(form)); }
    void key(Key key) override {
        std::string name = key.code == Key::kEnter    ? "Return"
                           : key.code == Key::kEscape ? "Escape"
                                                      : std::string(1, key.code);
        KeyCode ctrl = XKeysymToKeycode(fl_display, XK_Control_L);
        if (key.ctrl)
            XTestFakeKeyEvent(fl_display, ctrl, True, 0);
        type_key(name, key.alt);
        if (key.ctrl)
            XTestFakeKeyEvent(fl_display, ctrl, False, 0);
        XFlush(fl_display);
    }
    std::string shown(const Form& form, const Control& control) override {
        Fl_Widget* widget = widget_of(form, control);
        if (!widget)
            return "(no widget)";
        if (control.kind == ControlKind::FileList)
            return static_cast<Fl_Browser*>(widget)->text(1);
        return widget->label() ? widget->label() : "";
    }
};

DORVANE_BEHAVIOUR_CASES(FltkBehaviour)

}  // namespace
}  // namespace dorvane::testing
