// SPDX-License-Identifier: MIT
#include "platform/x11/launch_driver.h"

#include <thread>

#include "platform/ascii.h"
#include "platform/posix/program_file.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/keys.h"

namespace dorvane::x11 {

namespace {

constexpr std::chrono::milliseconds kDosScreenSwitch{300};

// The class the program's windows will have: Wine names them after the program's file, DOSBox
// after itself; a native program's is not known beforehand.
std::string window_class(const posix::StartedProgram& program) {
    if (program.through_wine)
        return ascii_lower(program.file_name);
    return program.running_title.empty() ? "" : "dosbox";
}

}  // namespace

void X11LaunchDriver::reap() {
    for (auto& [task, launch] : tasks_)
        launch.program.child.running();
}

std::optional<TaskId> X11LaunchDriver::start_program(const std::string& command_line) {
    std::set<unsigned long> before = managed_windows(display_);
    const unsigned long time = user_time();
    const std::string startup_id = StartupNotice::make_id(++launches_, time);
    std::optional<posix::StartedProgram> program =
        posix::start_from_command_line(command_line, launches_, last_error_, startup_id);
    if (!program)
        return std::nullopt;
    TaskId task = program->child.pid();
    Launch& launch =
        tasks_
            .insert_or_assign(
                task,
                Launch{std::move(*program), std::move(before), std::nullopt, true, time, {}, {}})
            .first->second;
    launch.notice.begin(display_, startup_id, task, launch.program.file_name,
                        window_class(launch.program), time);
    return task;
}

launch::TaskState X11LaunchDriver::state(TaskId task) {
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return launch::TaskState::Unknown;
    posix::Child& child = found->second.program.child;
    if (child.running())
        return launch::TaskState::Running;
    return child.succeeded() ? launch::TaskState::EndedOk : launch::TaskState::EndedFailed;
}

void X11LaunchDriver::forget(TaskId task) {
    if (auto found = tasks_.find(task); found != tasks_.end())
        found->second.notice.end(display_);
    tasks_.erase(task);
}

void X11LaunchDriver::launch_over(TaskId task, bool) {
    if (auto found = tasks_.find(task); found != tasks_.end())
        found->second.notice.end(display_);
}

std::optional<launch::WindowId> X11LaunchDriver::find_window(TaskId task) {
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return std::nullopt;
    Launch& launch = found->second;
    const posix::StartedProgram& program = launch.program;
    std::optional<Window> window = window_of(
        display_, [&](pid_t pid) { return posix::belongs_to(pid, program.identity); },
        program.file_name, launch.before, program.through_wine);
    if (!window)
        return std::nullopt;
    launch.window = *window;
    return *window;
}

void X11LaunchDriver::maximise(launch::WindowId window) {
    if (!fixed_size(display_, window))
        request_maximise(display_, window);
}

void X11LaunchDriver::raise(launch::WindowId window) {
    // With the time of the input that started the window's program, so that a window manager
    // that prevents focus stealing lets the user's own request through.
    unsigned long time = 0;
    for (const auto& [task, launch] : tasks_)
        if (launch.window == window)
            time = launch.user_time;
    request_activation(display_, window, time);
}

bool X11LaunchDriver::holds_focus(launch::WindowId window) {
    return x11::holds_focus(display_, window);
}

bool X11LaunchDriver::takes_keys(TaskId task, launch::WindowId window) {
    auto found = tasks_.find(task);
    if (found == tasks_.end() || found->second.program.running_title.empty())
        return true;
    Launch& launch = found->second;
    if (!posix::names_running_program(window_title(display_, window),
                                      launch.program.running_title)) {
        launch.running_seen.reset();
        launch.took_keys_at_once = false;
        return false;
    }
    // DOSBox switches its screen (to the full screen) as the program starts, and drops the
    // keys typed meanwhile; a program that was running already has switched.
    if (launch.took_keys_at_once)
        return true;
    if (!launch.running_seen)
        launch.running_seen = now();
    return now() >= *launch.running_seen + kDosScreenSwitch;
}

bool X11LaunchDriver::modifiers_held() {
    return x11::modifiers_held(display_);
}

bool X11LaunchDriver::type_keys(launch::WindowId, const std::string& keys) {
    return x11::type_keys(display_, keys);
}

void X11LaunchDriver::sleep(std::chrono::milliseconds time) {
    std::this_thread::sleep_for(time);
}

}  // namespace dorvane::x11
