// SPDX-License-Identifier: MIT
#include "platform/fltk/services.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/fltk/font_config.h"
#include "platform/fltk/form_window.h"
#include "platform/fltk/input_method.h"
#include "platform/fltk/message_box.h"
#include "platform/fltk/router.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

#include "platform/posix/end_signals.h"
#include "platform/posix/processes.h"
#include "platform/x11/launch_driver.h"

namespace dorvane::fltk {

namespace {

FltkServices* g_backend = nullptr;

double screen_dpi() {
    float h = 0, v = 0;
    Fl::screen_dpi(h, v, 0);
    return v > 0 ? v : h;
}

}  // namespace

// The window manager may frame a window anew (another theme, decorations switched off) after it
// was painted; the gradient depends on the frame's size, so the window paints again.
int on_unhandled(int event) {
    static const Atom extents = XInternAtom(fl_display, "_NET_FRAME_EXTENTS", False);
    if (event != 0 || !fl_xevent || fl_xevent->type != PropertyNotify ||
        fl_xevent->xproperty.atom != extents)
        return 0;
    if (Fl_Window* window = fl_find(fl_xevent->xproperty.window))
        window->redraw();
    return 0;
}

void route_event(const std::function<void()>& handler) {
    if (g_backend)
        g_backend->route(handler);
}

void report_frame_close(Form& form) {
    if (g_backend)
        g_backend->events().frame_close(form);
}

void report_typed(Control& box, const std::string& text) {
    if (g_backend)
        g_backend->events().typed(box, text);
}

KeyOutcome report_key(Form& form, Control* focus, Key key) {
    return g_backend ? g_backend->events().key(form, focus, key) : KeyOutcome{};
}

// The X11 driver on FLTK's event loop: a timer follows a launch up, and the loop reaps every
// started program as it ends, long after its activation is over too.
class Launching final : public x11::X11LaunchDriver {
  public:
    explicit Launching(FltkServices& backend) : X11LaunchDriver(fl_display), backend_(backend) {}
    ~Launching() override {
        Fl::remove_timeout(tick, this);
        if (watching_)
            Fl::remove_fd(posix::watch_child_ends());
    }

    std::optional<TaskId> start_program(const std::string& command_line) override {
        // Watched from the first start on, so that start-up does not pay for it.
        if (!watching_ && posix::watch_child_ends() >= 0) {
            watching_ = true;
            Fl::add_fd(
                posix::watch_child_ends(), FL_READ,
                [](int ready, void* self) {
                    if (posix::take_child_ends(ready))
                        static_cast<Launching*>(self)->reap();
                },
                this);
        }
        return X11LaunchDriver::start_program(command_line);
    }
    void follow_up_soon() override {
        if (!Fl::has_timeout(tick, this))
            Fl::add_timeout(kInterval, tick, this);
    }
    void run_as_event(const std::function<void()>& report) override { backend_.route(report); }

    launch::LaunchEngine engine{*this};

  protected:
    unsigned long user_time() override { return fl_event_time; }

  private:
    static constexpr double kInterval = 0.05;
    static void tick(void* self) {
        if (static_cast<Launching*>(self)->engine.follow_up())
            Fl::repeat_timeout(kInterval, tick, self);
    }

    FltkServices& backend_;
    bool watching_ = false;
};

FltkServices::FltkServices()
    : scale_((start_font_config(), open_display(), screen_dpi())),
      pictures_(scale_),
      events_([this](Form& form) { form_destroyed(form); }, [this] { sync_all(); }),
      launching_(std::make_unique<Launching>(*this)) {
    g_backend = this;
    // The layouts were drawn for a face of Helvetica's widths; fontconfig maps the name to such a
    // face where one is installed, and to its default sans face otherwise.
    Fl::set_font(FL_HELVETICA, " Helvetica");
    Fl::set_font(FL_HELVETICA_BOLD, "BHelvetica");
    Fl::set_font(FL_HELVETICA_ITALIC, "IHelvetica");
    Fl::set_font(FL_HELVETICA_BOLD_ITALIC, "PHelvetica");
    Fl::visual(FL_DOUBLE | FL_RGB);
    Fl::event_dispatch(dispatch);
    Fl::add_handler(on_unhandled);
}

FltkServices::~FltkServices() {
    wait_for_font_config();
    Fl::event_dispatch(nullptr);
    Fl::remove_handler(on_unhandled);
    launching_.reset();
    for (Entry& e : forms_) {
        if (e.window)
            Fl::delete_widget(e.window);
    }
    g_backend = nullptr;
}

void FltkServices::route(const std::function<void()>& handler) {
    events_.route(handler);
}

void FltkServices::sync_all() {
    // A handler may create or drop forms while this runs: walk by index over a copy.
    std::vector<Form*> forms;
    for (Entry& e : forms_)
        forms.push_back(e.form);
    for (Form* form : forms) {
        auto it = std::find_if(forms_.begin(), forms_.end(),
                               [form](const Entry& e) { return e.form == form; });
        if (it == forms_.end())
            continue;
        if (!it->window) {
            it->window = new FormWindow(*form, scale_, pictures_);
        }
        if (it->window->sync())
            events_.shown(*form);
    }
}

int FltkServices::run() {
    while (Fl::first_window())
        Fl::wait();
    return 0;
}

namespace {

int on_x_gone(Display*) {
    if (g_backend)
        g_backend->x_connection_lost();
    std::_Exit(1);
}

}  // namespace

void FltkServices::end_from_outside(std::function<void()> end) {
    outside_end_ = end;  // for the X server gone, when no event can run any more
    events_.end_from_outside(std::move(end));
    int fd = watch_end_signals();
    if (fd >= 0) {
        Fl::add_fd(
            fd, FL_READ,
            [](int ready, void* self) {
                auto* services = static_cast<FltkServices*>(self);
                if (take_end_signals(ready))
                    services->events_.ended_from_outside();
            },
            this);
    }
    // FLTK's own handler ends the program without saving.
    XSetIOErrorHandler(on_x_gone);
}

void FltkServices::x_connection_lost() {
    x_gone_ = true;
    if (outside_end_)
        outside_end_();
    std::_Exit(1);
}

// Every X event passes here first: a form's window that gets or loses the keyboard focus is
// reported to the event rules; a key press takes its keysym from the first layout group.
int FltkServices::dispatch(int event, Fl_Window* window) {
    FormWindow* form_window = g_backend && window ? g_backend->window_of(window) : nullptr;
    if (event == FL_KEYDOWN)
        key_from_first_group();
    // The event rules have the keys of a form's window before its widgets; not while a menu or a
    // message box holds the keyboard.
    int used = event == FL_KEYDOWN && form_window && !Fl::grab() &&
               (!Fl::modal() || Fl::modal() == window) && form_window->take_key();
    if (!used)
        used = Fl::handle_(event, window);
    if (!g_backend)
        return used;
    // Message boxes are no forms: nothing is reported for them.
    if (event == FL_FOCUS && form_window && g_backend->window_of(window) == form_window)
        g_backend->window_activated(*form_window);
    g_backend->follow_focus();
    return used;
}

// Reports the widget with the keyboard focus whenever it is a new one of a form's window.
void FltkServices::follow_focus() {
    Fl_Widget* focus = Fl::focus();
    if (focus == last_focus_)
        return;
    last_focus_ = focus;
    FormWindow* window = focus ? window_of(focus->top_window()) : nullptr;
    if (window)
        events_.focused(window->form(), window->control_of(focus));
}

FormWindow* FltkServices::window_of(Fl_Window* window) {
    for (Entry& e : forms_) {
        if (e.window == window)
            return e.window;
    }
    return nullptr;
}

// The window manager made the window the active one: the rules decide about the activation and
// which control takes the focus.
void FltkServices::window_activated(FormWindow& window) {
    Form& form = window.form();
    Control* focus = events_.activated(form);
    // Form_Activate may have ended the window.
    if (!focus || window_of(&window) != &window)
        return;
    Fl_Widget* widget = window.widget_of(focus);
    if (widget && Fl::focus() != widget)
        widget->take_focus();
}

Answer FltkServices::message_box(const std::string& prompt, const std::string& title,
                                 Buttons buttons) {
    if (x_gone_) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), prompt.c_str());
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    wait_for_font_config();
    sync_all();
    Fl::flush();
    return run_message_box(prompt, title, buttons, scale_);
}

FltkServices::operator Services() {
    return {*this, files_, launching_->engine, clock_, *this};
}

// The window is built at the next sync; FLTK makes every window it is asked for.
std::optional<std::string> FltkServices::form_created(Form& form) {
    forms_.push_back({&form, nullptr});
    events_.created(form);
    return std::nullopt;
}

void FltkServices::form_destroyed(Form& form) {
    auto it = std::find_if(forms_.begin(), forms_.end(),
                           [&form](const Entry& e) { return e.form == &form; });
    events_.destroyed(form);
    if (it == forms_.end())
        return;
    if (it->window) {
        it->window->hide();
        // The window may be in the middle of its own callback: let FLTK delete it afterwards.
        Fl::delete_widget(it->window);
    }
    forms_.erase(it);
    last_focus_ = nullptr;  // may have been one of its widgets
}

void FltkServices::end_program() {
    std::fflush(nullptr);
    // Every window goes with the connection to the X server; no handler runs any more.
    std::_Exit(0);
}

}  // namespace dorvane::fltk
