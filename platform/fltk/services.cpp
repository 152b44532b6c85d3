#include "platform/fltk/services.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "platform/fltk/form_window.h"
#include "platform/fltk/message_box.h"
#include "platform/fltk/router.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

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

FltkServices::FltkServices() : scale_((fl_open_display(), screen_dpi())), pictures_(scale_) {
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
    Fl::event_dispatch(nullptr);
    Fl::remove_handler(on_unhandled);
    for (Entry& e : forms_) {
        if (e.window)
            Fl::delete_widget(e.window);
    }
    g_backend = nullptr;
}

void FltkServices::route(const std::function<void()>& handler) {
    handler();
    sync_all();
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
        if (it->window->sync() && last_active_ == form)
            last_active_ = nullptr;  // a showing activates the form again
    }
}

int FltkServices::run() {
    while (Fl::first_window())
        Fl::wait();
    return 0;
}

// Every X event passes here first: a window that gets the keyboard focus may have become the
// program's active window.
int FltkServices::dispatch(int event, Fl_Window* window) {
    if (event == FL_FOCUS && window && g_backend)
        g_backend->window_focused(window);
    return Fl::handle_(event, window);
}

void FltkServices::window_focused(Fl_Window* window) {
    auto it = std::find_if(forms_.begin(), forms_.end(),
                           [window](const Entry& e) { return e.window == window; });
    // Message boxes are no forms: returning from one does not activate anything.
    if (it == forms_.end() || it->form == last_active_)
        return;
    Form* form = it->form;
    last_active_ = form;
    route([form] { form->Form_Activate(); });
}

Answer FltkServices::message_box(const std::string& prompt, const std::string& title,
                                 Buttons buttons) {
    sync_all();
    Fl::flush();
    return run_message_box(prompt, title, buttons, scale_);
}

FileRead FltkServices::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite FltkServices::replace_file(const std::string& name, std::string_view bytes) {
    return files_.replace_file(name, bytes);
}

FileWrite FltkServices::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

std::vector<std::string> FltkServices::list_files(const std::string& pattern, Hidden hidden) {
    return files_.list_files(pattern, hidden);
}

// Made on first use, so that start-up does not pay for it.
x11::X11Processes& FltkServices::processes() {
    if (!processes_)
        processes_ = std::make_unique<x11::X11Processes>(fl_display);
    return *processes_;
}

std::optional<TaskId> FltkServices::start_program(const std::string& command_line) {
    return processes().start_program(command_line);
}

bool FltkServices::activate(TaskId task) {
    return processes().activate(task);
}

bool FltkServices::send_keys(const std::string& keys) {
    return processes().send_keys(keys);
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
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

float FltkServices::random() {
    return random_.next();
}

void FltkServices::form_created(Form& form) {
    forms_.push_back({&form, nullptr});
}

void FltkServices::form_destroyed(Form& form) {
    auto it = std::find_if(forms_.begin(), forms_.end(),
                           [&form](const Entry& e) { return e.form == &form; });
    if (it == forms_.end())
        return;
    if (it->window) {
        it->window->hide();
        // The window may be in the middle of its own callback: let FLTK delete it afterwards.
        Fl::delete_widget(it->window);
    }
    if (last_active_ == &form)
        last_active_ = nullptr;
    forms_.erase(it);
}

void FltkServices::end_program() {
    std::fflush(nullptr);
    // Every window goes with the connection to the X server; no handler runs any more.
    std::_Exit(0);
}

}  // namespace dorvane::fltk
