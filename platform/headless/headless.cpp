// SPDX-License-Identifier: MIT
#include "platform/headless/headless.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace dorvane {

HeadlessServices::HeadlessServices(std::string folder)
    : files_(std::move(folder)),
      events_([this](Form& form) { form_destroyed(form); }, [this] { mirror(); }) {}

void HeadlessServices::route(const std::function<void()>& handler) {
    bool outermost = !events_.in_event();
    events_.route(handler);
    if (outermost)
        manage_windows();
}

bool HeadlessServices::on_screen(const Form* form) const {
    return shown_.count(form) != 0;
}

// What a real backend's windows show after the event: windows shown or hidden as their forms say.
void HeadlessServices::mirror() {
    std::vector<Form*> all = events_.forms();
    for (Form* form : all) {
        bool was = on_screen(form);
        if (form->visible && !was) {
            shown_.insert(form);
            events_.shown(*form);
            newly_shown_ = form;
        } else if (!form->visible && was) {
            shown_.erase(form);
            recent_.erase(std::remove(recent_.begin(), recent_.end(), form), recent_.end());
            if (left_for_away_ == form)
                left_for_away_ = nullptr;
            if (active_window_ == form) {
                events_.focused(*form, focus_);
                active_window_ = nullptr;
                focus_ = nullptr;
                lost_active_ = true;
            }
        }
    }
}

// The window manager between events: a window just shown becomes the active one, and when the
// active one goes, the one active before it takes over.
void HeadlessServices::manage_windows() {
    for (int round = 0; round < 100; ++round) {
        if (Form* form = newly_shown_) {
            newly_shown_ = nullptr;
            if (on_screen(form) && events_.takes_input(*form))
                make_active(form);
            continue;
        }
        if (lost_active_) {
            lost_active_ = false;
            if (!active_window_ && !recent_.empty())
                make_active(recent_.front());
            continue;
        }
        return;
    }
}

void HeadlessServices::make_active(Form* form) {
    if (active_window_ == form)
        return;
    if (active_window_)
        events_.focused(*active_window_, focus_);
    active_window_ = form;
    left_for_away_ = nullptr;
    focus_ = nullptr;
    recent_.erase(std::remove(recent_.begin(), recent_.end(), form), recent_.end());
    recent_.insert(recent_.begin(), form);
    Control* focus = events_.activated(*form);  // Form_Activate may hide or end the window
    if (active_window_ == form)
        focus_ = focus;
}

bool HeadlessServices::switch_to(Form& form) {
    if (!on_screen(&form) || !events_.takes_input(form))
        return false;
    make_active(&form);
    manage_windows();
    return true;
}

void HeadlessServices::switch_away() {
    if (!active_window_)
        return;
    events_.focused(*active_window_, focus_);
    left_for_away_ = active_window_;
    active_window_ = nullptr;
    focus_ = nullptr;
}

bool HeadlessServices::come_back() {
    Form* form = left_for_away_;
    if (!form || !on_screen(form))
        return false;
    make_active(form);
    manage_windows();
    return true;
}

bool HeadlessServices::click(Form& form, Control& control) {
    if (!switch_to(form) || active_window_ != &form)
        return false;
    auto& controls = form.controls;
    if (std::find(controls.begin(), controls.end(), &control) == controls.end())
        return false;
    for (const Control* c = &control; c; c = c->parent) {
        if (!c->visible)
            return false;
    }
    bool focusable = control.focus_place >= 0 && control.kind != ControlKind::Label &&
                     control.kind != ControlKind::Frame && control.kind != ControlKind::Line;
    if (focusable)
        focus_ = &control;
    cursors_[&control] = control.caption.size();
    switch (control.kind) {
        case ControlKind::CommandButton:
        case ControlKind::PictureBox:
            route([&control] { press(control); });
            break;
        case ControlKind::OptionButton:
            route([&form, &control] { choose_option(form, control); });
            break;
        default:
            break;
    }
    return true;
}

bool HeadlessServices::type(const std::string& text) {
    Control* box = focus();
    if (!box || box->kind != ControlKind::TextBox)
        return false;
    std::size_t& cursor = cursors_[box];
    cursor = std::min(cursor, box->caption.size());
    std::string typed = box->caption;
    typed.insert(cursor, text);
    cursor += text.size();
    events_.typed(*box, typed);
    manage_windows();
    return true;
}

bool HeadlessServices::left_arrow() {
    Control* box = focus();
    if (!box || box->kind != ControlKind::TextBox)
        return false;
    std::size_t& cursor = cursors_[box];
    cursor = std::min(cursor, box->caption.size());
    if (cursor > 0)
        --cursor;
    return true;
}

void HeadlessServices::close_frame(Form& form) {
    if (!on_screen(&form))
        return;
    events_.frame_close(form);
    manage_windows();
}

bool HeadlessServices::key(Key key) {
    if (!active_window_)
        return false;
    bool taken = events_.key(*active_window_, focus(), key).use != KeyOutcome::Use::Passed;
    manage_windows();
    return taken;
}

Form* HeadlessServices::find_form(const std::string& name) const {
    for (Form* form : forms) {
        if (form->name == name)
            return form;
    }
    return nullptr;
}

Answer HeadlessServices::message_box(const std::string& prompt, const std::string& title,
                                     Buttons buttons) {
    // The box takes the keyboard while it is open and gives it back to the window it came from.
    struct Box {
        HeadlessServices& services;
        Form* from;
        ~Box() {
            if (from && services.on_screen(from) && !services.active_window_)
                services.make_active(from);
        }
    } box{*this, active_window_};
    if (active_window_) {
        events_.focused(*active_window_, focus_);
        active_window_ = nullptr;
        focus_ = nullptr;
    }
    messages.push_back({prompt, title, buttons});
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    // A question nobody scripted must not be answered for the test: a default Yes would let a
    // test that forgot "Clear Database" erase the catalogue and still pass.
    if (answers.empty())
        throw UnscriptedQuestion("unscripted question \"" + prompt + "\" (" + title + ")");
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

FileRead HeadlessServices::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite HeadlessServices::replace_file(const std::string& name, std::string_view bytes,
                                         std::optional<std::string_view> expected) {
    if (fail_writes)
        return {false, *fail_writes};
    FileWrite result = files_.replace_file(name, bytes, expected);
    if (result.ok)
        ++writes;
    return result;
}

FileWrite HeadlessServices::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

FileListing HeadlessServices::list_files(const std::string& pattern, Hidden hidden) {
    if (fail_lists)
        return {false, {}, *fail_lists};
    if (file_list)
        return {true, *file_list, {}};
    return files_.list_files(pattern, hidden);
}

NameOnDisk HeadlessServices::real_name(const std::string& name) {
    if (fail_lists)
        return {NameOnDisk::Status::Failed, {}, *fail_lists};
    if (!file_list)
        return files_.real_name(name);
    CaseBlindMatch match(name);
    for (const std::string& file : *file_list)
        match.offer(file);
    std::optional<std::string> best = match.best();
    if (!best)
        return {NameOnDisk::Status::None, {}, {}};
    return {NameOnDisk::Status::Found, *best, {}};
}

namespace {

std::string stamp(double clock) {
    std::ostringstream out;
    out << " @" << clock;
    return out.str();
}

}  // namespace

HeadlessServices::operator Services() {
    return {*this, *this, engine_, *this, *this};
}

namespace {

constexpr double kAtOnce = 0;
constexpr double kShortly = 0.1;  // a program that ends at once still takes a moment
constexpr double kLater = 1.5;    // after the activation's hold, well within the window wait
constexpr double kFollowUpInterval = 0.05;

// When the program's window shows, after its start; negative for never.
double shows_after(HeadlessServices::Program program) {
    using Program = HeadlessServices::Program;
    return program == Program::Window ? kAtOnce : program == Program::SlowWindow ? kLater : -1;
}

// When the program ends, after its start; negative for never.
double ends_after(HeadlessServices::Program program) {
    using Program = HeadlessServices::Program;
    switch (program) {
        case Program::FailsAtOnce:
        case Program::EndsWithoutWindow:
            return kShortly;
        case Program::FailsLater:
            return kLater;
        default:
            return -1;
    }
}

}  // namespace

std::optional<TaskId> HeadlessServices::ScriptedPrograms::start_program(
    const std::string& command_line) {
    std::string program = command_line.substr(0, command_line.find(' '));
    if (s_.missing_programs.count(program)) {
        s_.log.push_back("start-failed " + command_line + stamp(s_.clock));
        return std::nullopt;
    }
    s_.started.push_back(command_line);
    s_.log.push_back("start " + command_line + stamp(s_.clock));
    auto behaviour = s_.programs.find(program);
    tasks_[next_task_] = {behaviour == s_.programs.end() ? Program::Window : behaviour->second,
                          s_.clock};
    return next_task_++;
}

launch::TaskState HeadlessServices::ScriptedPrograms::state(TaskId task) {
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return launch::TaskState::Unknown;
    double end = ends_after(found->second.program);
    if (end < 0 || s_.clock < found->second.started + end)
        return launch::TaskState::Running;
    return found->second.program == Program::EndsWithoutWindow ? launch::TaskState::EndedOk
                                                               : launch::TaskState::EndedFailed;
}

void HeadlessServices::ScriptedPrograms::forget(TaskId task) {
    tasks_.erase(task);
}

std::optional<launch::WindowId> HeadlessServices::ScriptedPrograms::find_window(TaskId task) {
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return std::nullopt;
    double show = shows_after(found->second.program);
    if (show < 0 || s_.clock < found->second.started + show)
        return std::nullopt;
    s_.shown_at.try_emplace(task, found->second.started + show);
    return static_cast<launch::WindowId>(task);
}

void HeadlessServices::ScriptedPrograms::raise(launch::WindowId window) {
    if (s_.raises_dropped > 0) {
        --s_.raises_dropped;
        return;
    }
    s_.in_front = static_cast<TaskId>(window);
}

bool HeadlessServices::ScriptedPrograms::holds_focus(launch::WindowId window) {
    return s_.in_front == static_cast<TaskId>(window);
}

bool HeadlessServices::ScriptedPrograms::modifiers_held() {
    return s_.clock < s_.modifiers_held_until;
}

// The keys go to whichever window holds the focus.
bool HeadlessServices::ScriptedPrograms::type_keys(launch::WindowId, const std::string& keys) {
    if (s_.fail_keys) {
        s_.log.push_back("keys-failed " + keys + stamp(s_.clock));
        return false;
    }
    s_.log.push_back("keys " + keys + stamp(s_.clock));
    (s_.in_front ? s_.keys_received[*s_.in_front] : s_.stray_keys) += keys;
    return true;
}

launch::LaunchDriver::Clock::time_point HeadlessServices::ScriptedPrograms::now() {
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s_.clock)));
}

// The launch's waits hold the program as a sleep does, but are the engine's own: they are not
// counted in `slept`.
void HeadlessServices::ScriptedPrograms::sleep(std::chrono::milliseconds time) {
    s_.clock += std::chrono::duration<double>(time).count();
}

void HeadlessServices::ScriptedPrograms::run_as_event(const std::function<void()>& report) {
    ++s_.late_reports;
    s_.route(report);
}

void HeadlessServices::run_events(double seconds) {
    for (double waited = 0; programs_.following && waited < seconds; waited += kFollowUpInterval) {
        clock += kFollowUpInterval;
        programs_.following = engine_.follow_up();
    }
}

float HeadlessServices::seconds_since_midnight() {
    return static_cast<float>(std::fmod(clock, 86400.0));
}

void HeadlessServices::sleep(double seconds) {
    seconds = wait_bound(seconds);
    clock += seconds;
    slept += seconds;
}

float HeadlessServices::random() {
    if (random_values.empty())
        return random_.next();
    float value = random_values.front();
    random_values.pop_front();
    return value;
}

std::optional<std::string> HeadlessServices::form_created(Form& form) {
    if (std::find(forms.begin(), forms.end(), &form) == forms.end())
        forms.push_back(&form);
    events_.created(form);
    return std::nullopt;
}

void HeadlessServices::form_destroyed(Form& form) {
    forms.erase(std::remove(forms.begin(), forms.end(), &form), forms.end());
    events_.destroyed(form);
    shown_.erase(&form);
    for (const Control* control : form.controls)
        cursors_.erase(control);
    recent_.erase(std::remove(recent_.begin(), recent_.end(), &form), recent_.end());
    if (newly_shown_ == &form)
        newly_shown_ = nullptr;
    if (left_for_away_ == &form)
        left_for_away_ = nullptr;
    if (active_window_ == &form) {
        active_window_ = nullptr;
        focus_ = nullptr;
        lost_active_ = true;
    }
}

void HeadlessServices::end_program() {
    ++ended;
}

}  // namespace dorvane
