// SPDX-License-Identifier: MIT
#include "platform/fltk/services.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/fltk/font_config.h"
#include "platform/fltk/form_window.h"
#include "platform/fltk/input_method.h"
#include "platform/fltk/message_box.h"
#include "platform/fltk/router.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

#include "platform/posix/end_signals.h"
#include "platform/posix/processes.h"
#include "platform/x11/process.h"

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

FltkServices::FltkServices()
    : scale_((start_font_config(), open_display(), screen_dpi())),
      pictures_(scale_),
      events_([this](Form& form) { form_destroyed(form); }, [this] { sync_all(); }) {
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
    if (processes_ && posix::watch_child_ends() >= 0)
        Fl::remove_fd(posix::watch_child_ends());
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
    outside_end_ = std::move(end);
    int fd = watch_end_signals();
    if (fd >= 0) {
        Fl::add_fd(
            fd, FL_READ,
            [](int ready, void* self) {
                auto* services = static_cast<FltkServices*>(self);
                if (take_end_signals(ready) && services->outside_end_)
                    services->route(services->outside_end_);
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
    int used = Fl::handle_(event, window);
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

FileRead FltkServices::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite FltkServices::replace_file(const std::string& name, std::string_view bytes,
                                     std::optional<std::string_view> expected) {
    return files_.replace_file(name, bytes, expected);
}

FileWrite FltkServices::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

FileListing FltkServices::list_files(const std::string& pattern, Hidden hidden) {
    return files_.list_files(pattern, hidden);
}

NameOnDisk FltkServices::real_name(const std::string& name) {
    return files_.real_name(name);
}

// Made on first use, so that start-up does not pay for it. From then on the event loop reaps
// every started program as it ends, long after its activation is over too.
x11::X11Processes& FltkServices::processes() {
    if (!processes_) {
        processes_ = std::make_unique<x11::X11Processes>(fl_display);
        int fd = posix::watch_child_ends();
        if (fd >= 0) {
            Fl::add_fd(
                fd, FL_READ,
                [](int ready, void* self) {
                    if (posix::take_child_ends(ready))
                        static_cast<FltkServices*>(self)->processes_->reap();
                },
                this);
        }
    }
    return *processes_;
}

std::optional<TaskId> FltkServices::start_program(const std::string& command_line) {
    return processes().start_program(command_line, fl_event_time);
}

// The activation may go on after activate() returned, while the launcher's window takes events
// again: it is followed up from the event loop until the program's window shows, the program
// ends or the wait is over.
bool FltkServices::activate(TaskId task) {
    bool ok = processes().activate(task);
    if (processes().pending() && !Fl::has_timeout(follow_up, this))
        Fl::add_timeout(kFollowUpInterval, follow_up, this);
    return ok;
}

void FltkServices::follow_up(void* data) {
    auto* self = static_cast<FltkServices*>(data);
    switch (self->processes().follow_up()) {
        case x11::X11Processes::FollowUp::Waiting:
            Fl::repeat_timeout(kFollowUpInterval, follow_up, data);
            break;
        case x11::X11Processes::FollowUp::Failed:
            if (self->late_failure_)
                self->route(self->late_failure_);
            break;
        case x11::X11Processes::FollowUp::Shown:
        case x11::X11Processes::FollowUp::Over:
            break;
    }
}

void FltkServices::on_late_failure(std::function<void()> report) {
    late_failure_ = std::move(report);
}

bool FltkServices::send_keys(const std::string& keys, std::chrono::milliseconds shown_for) {
    return processes().send_keys(keys, shown_for);
}

float FltkServices::seconds_since_midnight() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                     static_cast<double>(now.tv_nsec) / 1e9;
    return static_cast<float>(seconds);
}

void FltkServices::sleep(double seconds) {
    // A huge or non-numeric time would overflow the conversion to the clock's ticks.
    seconds = wait_bound(seconds);
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

float FltkServices::random() {
    return random_.next();
}

void FltkServices::form_created(Form& form) {
    forms_.push_back({&form, nullptr});
    events_.created(form);
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
