// SPDX-License-Identifier: MIT
#include "platform/x11/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/x11/command_line.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/keys.h"

namespace dorvane::x11 {

namespace {

std::optional<std::string> current_folder() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer))
        return std::nullopt;
    return std::string(buffer);
}

constexpr std::chrono::milliseconds kDosScreenSwitch{300};

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

X11Processes::X11Processes(Display* display, ProcessTimings timings)
    : display_(display), timings_(timings) {}

std::optional<TaskId> X11Processes::start_program(const std::string& command_line) {
    std::erase_if(tasks_, [this](const auto& task) {
        return !task.second.child.running() && task.first != pending_;
    });
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
    // DOSBox reads dosbox.conf from the folder it starts in: where the game folder has one, its
    // settings say whether the game runs in a window or in the full screen.
    DosScreen screen =
        exists(*folder + "/dosbox.conf") ? DosScreen::AsConfigured : DosScreen::FullScreen;
    std::optional<ExecPlan> plan = plan_exec(*folder, *file, kind, args, helper, screen);
    if (!plan) {
        last_error_ = *file + ": cannot be run here";
        return std::nullopt;
    }
    std::set<unsigned long> before = managed_windows(display_);
    std::string marker = std::to_string(getpid()) + "." + std::to_string(++launches_) + "." +
                         std::to_string(Clock::now().time_since_epoch().count());
    SpawnResult result = spawn_program(*plan, std::string(kLaunchMarker) + "=" + marker);
    if (!result.child) {
        last_error_ = plan->path + ": " + std::strerror(result.error);
        return std::nullopt;
    }
    pid_t pid = result.child->pid;
    std::string running_title = kind == ProgramKind::Dos ? dosbox_running_title(*file) : "";
    tasks_[pid] = Launch{*result.child,
                         {pid, marker},
                         *file,
                         running_title,
                         std::move(before),
                         Clock::now(),
                         kind == ProgramKind::Windows};
    return pid;
}

bool X11Processes::bring_window(const Launch& launch) {
    std::optional<Window> window = window_of(
        display_, [&](pid_t pid) { return belongs_to(pid, launch.identity); }, launch.file_name,
        launch.before, launch.through_wine);
    if (!window)
        return false;
    if (!fixed_size(display_, *window))
        request_maximise(display_, *window);
    request_activation(display_, *window);
    target_ = *window;
    target_title_ = launch.running_title;
    return true;
}

bool X11Processes::activate(TaskId task) {
    target_ = 0;
    pending_.reset();
    report_late_ = true;
    auto found = tasks_.find(task);
    if (found == tasks_.end())
        return false;
    const Launch& launch = found->second;
    const auto hold_end = Clock::now() + timings_.activate_hold;
    while (true) {
        // Read before looking, so that a window shown just before the end is not missed.
        bool ended = !launch.child.running();
        if (bring_window(launch))
            return true;
        // One that ended well may have handed its work to another process (as wine does),
        // whose window may still come.
        if (ended && !launch.child.succeeded())
            return false;
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
    const Launch& launch = found->second;
    bool ended = !launch.child.running();
    if (bring_window(launch)) {
        pending_.reset();
        return FollowUp::Shown;
    }
    if (ended && !launch.child.succeeded()) {
        pending_.reset();
        return report_late_ ? FollowUp::Failed : FollowUp::Over;
    }
    if (Clock::now() >= launch.started + timings_.window_wait) {
        pending_.reset();
        return FollowUp::Over;
    }
    return FollowUp::Waiting;
}

bool X11Processes::send_keys(const std::string& keys) {
    const auto start = Clock::now();
    const auto deadline = start + timings_.keys_wait;
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
    const auto ask_again = Clock::now() + (deadline - Clock::now()) / 2;
    bool asked_again = false;
    while (!holds_focus(display_, target_)) {
        if (Clock::now() >= deadline)
            return false;
        // A window manager may drop a request that came before the window was ready for it.
        if (!asked_again && Clock::now() >= ask_again) {
            request_activation(display_, target_);
            asked_again = true;
        }
        std::this_thread::sleep_for(timings_.poll);
    }
    if (!target_title_.empty() &&
        !names_running_program(window_title(display_, target_), target_title_)) {
        do {
            if (Clock::now() >= deadline)
                return false;
            std::this_thread::sleep_for(timings_.poll);
        } while (!names_running_program(window_title(display_, target_), target_title_));
        // DOSBox switches its screen (to the full screen) as the program starts, and drops the
        // keys typed meanwhile.
        std::this_thread::sleep_for(kDosScreenSwitch);
    }
    while (modifiers_held(display_) && Clock::now() < deadline)
        std::this_thread::sleep_for(timings_.poll);
    return type_keys(display_, keys);
}

}  // namespace dorvane::x11
