// SPDX-License-Identifier: MIT
#include "platform/x11/process.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/x11/command_line.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/keys.h"

namespace dorvane::x11 {

namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> current_folder() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer))
        return std::nullopt;
    return std::string(buffer);
}

}  // namespace

X11Processes::X11Processes(Display* display, ProcessTimings timings)
    : display_(display), timings_(timings) {}

std::optional<TaskId> X11Processes::start_program(const std::string& command_line) {
    std::erase_if(tasks_, [](const auto& task) { return !task.second.running(); });
    last_error_.clear();
    std::vector<std::string> args = split_command_line(command_line);
    std::optional<std::string> folder = current_folder();
    if (args.empty() || !folder) {
        last_error_ = "nothing to start";
        return std::nullopt;
    }
    std::optional<std::string> file = find_in_folder(*folder, args[0]);
    if (!file) {
        last_error_ = args[0] + ": no such program in " + *folder;
        return std::nullopt;
    }
    ProgramKind kind = classify_file(*folder + "/" + *file);
    std::optional<std::string> helper;
    if (kind == ProgramKind::Dos)
        helper = find_on_path("dosbox", std::getenv("PATH"));
    else if (kind == ProgramKind::Windows)
        helper = find_on_path("wine", std::getenv("PATH"));
    std::optional<ExecPlan> plan = plan_exec(*folder, *file, kind, args, helper);
    if (!plan) {
        last_error_ = *file + ": cannot be run here";
        return std::nullopt;
    }
    SpawnResult result = spawn_program(*plan);
    if (!result.child) {
        last_error_ = plan->path + ": " + std::strerror(result.error);
        return std::nullopt;
    }
    tasks_[result.child->pid] = *result.child;
    return result.child->pid;
}

bool X11Processes::activate(TaskId task) {
    target_ = 0;
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return false;
    const Child& child = found->second;
    const auto deadline = Clock::now() + timings_.window_wait;
    while (true) {
        // Read before looking, so that a window shown just before the end is not missed.
        bool ended = !child.running();
        if (std::optional<Window> window = window_of(display_, process_family(child.pid))) {
            request_maximise(display_, *window);
            request_activation(display_, *window);
            target_ = *window;
            return true;
        }
        if (ended)
            return child.succeeded();
        if (Clock::now() >= deadline)
            return true;
        std::this_thread::sleep_for(timings_.poll);
    }
}

bool X11Processes::send_keys(const std::string& keys) {
    if (target_ == 0)
        return false;
    const auto start = Clock::now();
    const auto deadline = start + timings_.focus_wait;
    bool asked_again = false;
    while (!holds_focus(display_, target_)) {
        if (Clock::now() >= deadline)
            return false;
        // A window manager may drop a request that came before the window was ready for it.
        if (!asked_again && Clock::now() >= start + timings_.focus_wait / 2) {
            request_activation(display_, target_);
            asked_again = true;
        }
        std::this_thread::sleep_for(timings_.poll);
    }
    while (modifiers_held(display_) && Clock::now() < deadline)
        std::this_thread::sleep_for(timings_.poll);
    return type_keys(display_, keys);
}

}  // namespace dorvane::x11
