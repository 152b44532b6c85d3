// SPDX-License-Identifier: MIT
// The launch engine: the one sequence of the launch contract (platform/launch.h) for every
// backend. It starts the program, holds the caller for its window, follows a late window up from
// the event loop, reports a late failure, waits for the window to be up and to hold the focus
// and for the user to let go of the modifier keys, and types. It decides every step and every
// bound; a system gives it only its calls, through a LaunchDriver.
//
// Every call runs on the user-interface thread. The engine keeps no thread and waits only
// through the driver's clock, so that a scripted driver runs the whole policy at unit speed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/launch.h"
#include "platform/process_service.h"

namespace dorvane::launch {

// A window of another program, as the system names it (an X window, an HWND).
using WindowId = std::uintptr_t;

enum class TaskState {
    Unknown,  // no such task (never started, or forgotten)
    Running,
    EndedOk,     // exit status 0
    EndedFailed  // any other status, or a signal
};

// What a system does for a launch. No entry decides anything: the engine asks, in its order.
class LaunchDriver {
  public:
    using Clock = std::chrono::steady_clock;
    virtual ~LaunchDriver() = default;

    // Starts the program; nullopt when it cannot be found or executed (known before it returns).
    virtual std::optional<TaskId> start_program(const std::string& command_line) = 0;
    // How the task stands now; looking also reaps a task that has ended.
    virtual TaskState state(TaskId task) = 0;
    // Lets go of an ended task (its handle, its record).
    virtual void forget(TaskId task) = 0;
    // The task's window when it is on the screen now (mapped, or iconic), nullopt otherwise.
    virtual std::optional<WindowId> find_window(TaskId task) = 0;
    // Asks for the window to be maximised where it can be, and leaves one of fixed size alone.
    virtual void maximise(WindowId window) = 0;
    // Asks for the window to be raised, active and with the keyboard focus; does not wait.
    virtual void raise(WindowId window) = 0;
    // Whether the window (or one inside it) holds the keyboard focus; false once it is gone.
    virtual bool holds_focus(WindowId window) = 0;
    // Whether the task's program takes keys now (DOSBox: once its DOS program runs).
    virtual bool takes_keys(TaskId task, WindowId window) = 0;
    // Whether the user holds Shift, Ctrl, Alt or Super.
    virtual bool modifiers_held() = 0;
    // Types the keys into the window holding the focus; returns once they were processed.
    // False, typing nothing, when a key cannot be typed.
    virtual bool type_keys(WindowId window, const std::string& keys) = 0;
    virtual Clock::time_point now() = 0;
    virtual void sleep(std::chrono::milliseconds time) = 0;
    // From now on the event loop calls LaunchEngine::follow_up() every few tens of
    // milliseconds, between events, until it returns false.
    virtual void follow_up_soon() = 0;
    // Runs a report as an event of the program's own (the backend's route).
    virtual void run_as_event(const std::function<void()>& report) = 0;
    // The engine has stopped following the launch: its window showed (`shown`), or the program
    // failed, or it is no longer looked for. A place for a system's own notice of the launch.
    virtual void launch_over(TaskId task, bool shown) = 0;
};

// The contract's bounds; tests shorten the window wait.
struct Timings {
    std::chrono::milliseconds activate_hold = kActivateHold;
    std::chrono::milliseconds window_wait = kWindowWait;
    std::chrono::milliseconds keys_wait = kKeysWait;
    std::chrono::milliseconds focus_again = kFocusAgain;
    std::chrono::milliseconds poll = kPoll;
};

class LaunchEngine : public ProcessService {
  public:
    explicit LaunchEngine(LaunchDriver& driver, Timings timings = {});

    std::optional<TaskId> start_program(const std::string& command_line) override;
    bool activate(TaskId task) override;
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override;
    void on_late_failure(std::function<void()> report) override;

    // One look for the window of the activation that goes on; false once it is over (then the
    // event loop stops calling). A program that failed meanwhile is reported here.
    bool follow_up();
    // Whether an activation goes on: its program runs and its window has not shown yet.
    bool pending() const { return pending_.has_value(); }

  private:
    using Clock = LaunchDriver::Clock;
    enum class Look { Shown, Failed, Waiting };
    // Looks once for the task's window; brings it to the front and makes it the target.
    Look look(TaskId task);
    // One step of the pending activation; false once it is over, and then whether it failed.
    bool step(bool& failed);
    void wait_until(Clock::time_point when);

    LaunchDriver& driver_;
    Timings timings_;
    std::map<TaskId, Clock::time_point> started_;
    std::optional<TaskId> pending_;
    bool report_late_ = true;  // whether a failure of the pending activation is still to be told
    std::optional<WindowId> target_;  // the window keys go to
    TaskId target_task_ = 0;
    Clock::time_point shown_at_;  // when the target was first seen on the screen
    std::function<void()> late_failure_;
};

}  // namespace dorvane::launch
