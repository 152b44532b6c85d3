// SPDX-License-Identifier: MIT
#include "platform/launch_engine.h"

namespace dorvane::launch {

LaunchEngine::LaunchEngine(LaunchDriver& driver, Timings timings)
    : driver_(driver), timings_(timings) {}

std::optional<TaskId> LaunchEngine::start_program(const std::string& command_line) {
    // Forgets the programs that ended, unless an activation still follows one.
    for (auto it = started_.begin(); it != started_.end();) {
        if (it->first != pending_ && driver_.state(it->first) != TaskState::Running) {
            driver_.forget(it->first);
            it = started_.erase(it);
        } else {
            ++it;
        }
    }
    std::optional<TaskId> task = driver_.start_program(command_line);
    if (task)
        started_.insert_or_assign(*task, driver_.now());
    return task;
}

LaunchEngine::Look LaunchEngine::look(TaskId task) {
    // Read before looking, so that a window shown just before the end is not missed.
    TaskState state = driver_.state(task);
    if (std::optional<WindowId> window = driver_.find_window(task)) {
        driver_.maximise(*window);
        driver_.raise(*window);
        target_ = window;
        target_task_ = task;
        shown_at_ = driver_.now();
        return Look::Shown;
    }
    // One that ended well may have handed its work to another process (as wine does), whose
    // window may still come.
    return state == TaskState::EndedFailed || state == TaskState::Unknown ? Look::Failed
                                                                          : Look::Waiting;
}

bool LaunchEngine::activate(TaskId task) {
    target_.reset();
    // An activation that went on is given up for the new one: no longer looked for.
    if (pending_)
        driver_.launch_over(*pending_, false);
    pending_.reset();
    report_late_ = true;
    if (!started_.count(task))
        return false;
    const auto hold_end = driver_.now() + timings_.activate_hold;
    while (true) {
        Look seen = look(task);
        if (seen != Look::Waiting) {
            driver_.launch_over(task, seen == Look::Shown);
            return seen == Look::Shown;
        }
        if (driver_.now() >= hold_end) {
            pending_ = task;
            driver_.follow_up_soon();
            return true;
        }
        driver_.sleep(timings_.poll);
    }
}

bool LaunchEngine::step(bool& failed) {
    failed = false;
    if (!pending_)
        return false;
    const TaskId task = *pending_;
    Look seen = look(task);
    if (seen == Look::Waiting && driver_.now() < started_[task] + timings_.window_wait)
        return true;
    pending_.reset();
    failed = seen == Look::Failed;
    driver_.launch_over(task, seen == Look::Shown);
    return false;
}

bool LaunchEngine::follow_up() {
    bool failed = false;
    if (step(failed))
        return true;
    if (failed && report_late_ && late_failure_)
        driver_.run_as_event(late_failure_);
    return false;
}

void LaunchEngine::on_late_failure(std::function<void()> report) {
    late_failure_ = std::move(report);
}

void LaunchEngine::wait_until(Clock::time_point when) {
    // A sleep may end a little early, hence the loop.
    for (auto now = driver_.now(); now < when; now = driver_.now())
        driver_.sleep(std::chrono::ceil<std::chrono::milliseconds>(when - now));
}

bool LaunchEngine::send_keys(const std::string& keys, std::chrono::milliseconds shown_for) {
    auto deadline = driver_.now() + timings_.keys_wait;
    // The window may not have shown yet: the activation goes on here, bounded. A failure found
    // here is the caller's to report, since the keys fail.
    bool failed = false;
    while (!target_ && step(failed)) {
        if (driver_.now() >= deadline) {
            // The launcher reports this failure itself; the window is still brought to the
            // front should it show.
            report_late_ = false;
            return false;
        }
        driver_.sleep(timings_.poll);
    }
    if (!target_)
        return false;
    // The time the window is given on the screen is not taken from the wait for the focus.
    if (const auto settled = shown_at_ + shown_for; driver_.now() < settled) {
        deadline += settled - driver_.now();
        wait_until(settled);
    }
    // A window manager may drop a request that came before the window was ready for it, and
    // Windows' foreground lock may refuse one: the focus is asked for again on the way.
    auto asked = driver_.now();
    while (!driver_.holds_focus(*target_)) {
        if (driver_.now() >= deadline)
            return false;
        if (driver_.now() - asked >= timings_.focus_again) {
            driver_.raise(*target_);
            asked = driver_.now();
        }
        driver_.sleep(timings_.poll);
    }
    while (!driver_.takes_keys(target_task_, *target_)) {
        if (driver_.now() >= deadline)
            return false;
        driver_.sleep(timings_.poll);
    }
    // The shortcut that started the command may still be held: "Y" would go as Ctrl+Y.
    while (driver_.modifiers_held()) {
        if (driver_.now() >= deadline)
            return false;
        driver_.sleep(timings_.poll);
    }
    return driver_.type_keys(*target_, keys);
}

}  // namespace dorvane::launch
