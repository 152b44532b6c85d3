// SPDX-License-Identifier: MIT
#include "platform/x11/launch_driver.h"

#include <thread>

#include "platform/posix/program_file.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/keys.h"

namespace dorvane::x11 {

namespace {

constexpr std::chrono::milliseconds kDosScreenSwitch{300};

}  // namespace

void X11LaunchDriver::reap() {
    for (auto& [task, launch] : tasks_)
        launch.program.child.running();
}

std::optional<TaskId> X11LaunchDriver::start_program(const std::string& command_line) {
    std::set<unsigned long> before = managed_windows(display_);
    std::optional<posix::StartedProgram> program =
        posix::start_from_command_line(command_line, ++launches_, last_error_);
    if (!program)
        return std::nullopt;
    TaskId task = program->child.pid();
    tasks_.insert_or_assign(task,
                            Launch{std::move(*program), std::move(before), std::nullopt, true});
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
    tasks_.erase(task);
}

std::optional<launch::WindowId> X11LaunchDriver::find_window(TaskId task) {
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return std::nullopt;
    const Launch& launch = found->second;
    const posix::StartedProgram& program = launch.program;
    std::optional<Window> window = window_of(
        display_, [&](pid_t pid) { return posix::belongs_to(pid, program.identity); },
        program.file_name, launch.before, program.through_wine);
    if (!window)
        return std::nullopt;
    return *window;
}

void X11LaunchDriver::maximise(launch::WindowId window) {
    if (!fixed_size(display_, window))
        request_maximise(display_, window);
}

void X11LaunchDriver::raise(launch::WindowId window) {
    request_activation(display_, window);
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
