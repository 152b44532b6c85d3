// SPDX-License-Identifier: MIT
#include "platform/x11/process.h"

#include <thread>

#include "platform/posix/program_file.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/keys.h"

namespace dorvane::x11 {

namespace {

constexpr std::chrono::milliseconds kDosScreenSwitch{300};

// The class the program's windows will have: Wine names them after the program's file, DOSBox
// after itself; a native program's is not known beforehand.
std::string window_class(const posix::StartedProgram& program) {
    std::string name = program.file_name;
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (program.through_wine)
        return name;
    return program.running_title.empty() ? "" : "dosbox";
}

}  // namespace

X11Processes::X11Processes(Display* display, ProcessTimings timings)
    : display_(display), timings_(timings) {}

void X11Processes::reap() {
    for (auto& [task, launch] : tasks_)
        launch.program.child.running();
}

std::optional<TaskId> X11Processes::start_program(const std::string& command_line,
                                                  unsigned long user_time) {
    // Forgets the programs that ended, unless an activation still follows one.
    for (auto it = tasks_.begin(); it != tasks_.end();) {
        if (it->first != pending_ && !it->second.program.child.running())
            it = tasks_.erase(it);
        else
            ++it;
    }
    std::set<unsigned long> before = managed_windows(display_);
    const std::string startup_id = StartupNotice::make_id(++launches_, user_time);
    std::optional<posix::StartedProgram> program =
        posix::start_from_command_line(command_line, launches_, last_error_, startup_id);
    if (!program)
        return std::nullopt;
    TaskId task = program->child.pid();
    Launch& launch =
        tasks_.insert_or_assign(task, Launch{std::move(*program), std::move(before), user_time, {}})
            .first->second;
    launch.notice.begin(display_, startup_id, task, launch.program.file_name,
                        window_class(launch.program), user_time);
    return task;
}

bool X11Processes::bring_window(Launch& launch) {
    const posix::StartedProgram& program = launch.program;
    std::optional<Window> window = window_of(
        display_, [&](pid_t pid) { return posix::belongs_to(pid, program.identity); },
        program.file_name, launch.before, program.through_wine);
    if (!window)
        return false;
    if (!fixed_size(display_, *window))
        request_maximise(display_, *window);
    request_activation(display_, *window, launch.user_time);
    launch.notice.end(display_);
    target_ = *window;
    target_time_ = launch.user_time;
    shown_at_ = Clock::now();
    target_title_ = program.running_title;
    return true;
}

bool X11Processes::activate(TaskId task) {
    target_ = 0;
    // The activation that went on is given up: so is the desktop's wait for its window.
    if (auto given_up = pending_ ? tasks_.find(*pending_) : tasks_.end(); given_up != tasks_.end())
        given_up->second.notice.end(display_);
    pending_.reset();
    report_late_ = true;
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return false;
    posix::Child& child = found->second.program.child;
    const auto hold_end = Clock::now() + timings_.activate_hold;
    while (true) {
        reap();
        // Read before looking, so that a window shown just before the end is not missed.
        bool ended = !child.running();
        if (bring_window(found->second))
            return true;
        // One that ended well may have handed its work to another process (as wine does),
        // whose window may still come.
        if (ended && !child.succeeded()) {
            found->second.notice.end(display_);
            return false;
        }
        if (Clock::now() >= hold_end) {
            pending_ = task;
            return true;
        }
        std::this_thread::sleep_for(timings_.poll);
    }
}

X11Processes::FollowUp X11Processes::follow_up() {
    if (!pending_)
        return FollowUp::Over;
    auto found = tasks_.find(*pending_);
    if (found == tasks_.end()) {
        pending_.reset();
        return FollowUp::Over;
    }
    reap();
    Launch& launch = found->second;
    bool ended = !launch.program.child.running();
    if (bring_window(launch)) {
        pending_.reset();
        return FollowUp::Shown;
    }
    if (ended && !launch.program.child.succeeded()) {
        pending_.reset();
        launch.notice.end(display_);
        return report_late_ ? FollowUp::Failed : FollowUp::Over;
    }
    if (Clock::now() >= launch.program.started + timings_.window_wait) {
        pending_.reset();
        launch.notice.end(display_);
        return FollowUp::Over;
    }
    return FollowUp::Waiting;
}

bool X11Processes::send_keys(const std::string& keys, std::chrono::milliseconds shown_for) {
    reap();
    auto deadline = Clock::now() + timings_.keys_wait;
    // The window may not have shown yet: the activation goes on here, bounded.
    while (pending_ && target_ == 0) {
        if (follow_up() == FollowUp::Waiting) {
            if (Clock::now() >= deadline) {
                // The launcher reports this failure itself; the window is still brought to the
                // front should it show.
                report_late_ = false;
                return false;
            }
            std::this_thread::sleep_for(timings_.poll);
        }
    }
    if (target_ == 0)
        return false;
    // The time the window is given on the screen is not taken from the wait for the focus.
    if (const auto settled = shown_at_ + shown_for; Clock::now() < settled) {
        deadline += settled - Clock::now();
        std::this_thread::sleep_until(settled);
    }
    const auto ask_again = Clock::now() + (deadline - Clock::now()) / 2;
    bool asked_again = false;
    while (!holds_focus(display_, target_)) {
        if (Clock::now() >= deadline)
            return false;
        // A window manager may drop a request that came before the window was ready for it.
        if (!asked_again && Clock::now() >= ask_again) {
            request_activation(display_, target_, target_time_);
            asked_again = true;
        }
        std::this_thread::sleep_for(timings_.poll);
    }
    if (!target_title_.empty() &&
        !posix::names_running_program(window_title(display_, target_), target_title_)) {
        do {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(timings_.poll);
        } while (!posix::names_running_program(window_title(display_, target_), target_title_));
        // DOSBox switches its screen (to the full screen) as the program starts, and drops the
        // keys typed meanwhile.
        std::this_thread::sleep_for(kDosScreenSwitch);
    }
    while (modifiers_held(display_) && Clock::now() < deadline)
        std::this_thread::sleep_for(timings_.poll);
    return type_keys(display_, keys);
}

}  // namespace dorvane::x11
