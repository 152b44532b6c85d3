// SPDX-License-Identifier: MIT
// The launch contract's cases (platform/launch.h): one set, run against every backend's process
// services. A backend's test gives a fixture that is a LaunchRig and a GoogleTest fixture, and
// adds DORVANE_LAUNCH_CASES(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/launch.h"
#include "platform/services.h"

namespace dorvane::testing {

// How a program behaves in the terms of the contract. "Slow" and "later" mean after the
// activation's hold (about 1.5 s after the start) and well within the window wait.
enum class Behaviour { Window, SlowWindow, NoWindow, FailsAtOnce, FailsLater, EndsWithoutWindow };

class LaunchRig {
  public:
    virtual ~LaunchRig() = default;

    // Puts a program named `name` into the current folder that behaves so.
    virtual void install(const std::string& name, Behaviour behaviour) = 0;
    virtual std::optional<TaskId> start(const std::string& command_line) = 0;
    virtual bool activate(TaskId task) = 0;
    virtual bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) = 0;
    virtual void on_late_failure(std::function<void()> report) = 0;
    // Lets the backend's event loop run for about `seconds`, as between the user's events.
    virtual void run_events(double seconds) = 0;
    // What the task's window took as text, once it holds `count` characters (bounded wait).
    virtual std::string keys_of(TaskId task, std::size_t count) = 0;
    // Whether the task's window is the active one (bounded wait).
    virtual bool in_front(TaskId task) = 0;
    // Whether a window of the launcher's own got any key.
    virtual bool launcher_got_keys() = 0;
    // How long after the task's window showed its first key came, as the program itself saw
    // both (bounded wait for the key).
    virtual std::chrono::milliseconds keys_after_shown(TaskId task) = 0;
    // How much a backend's steps may overrun the contract's bounds on a loaded machine.
    virtual std::chrono::milliseconds slack() const { return std::chrono::milliseconds(700); }
    // How late, on a loaded machine, the program under test may note that its window is up or
    // that a key came, after the window system showed the one or delivered the other.
    virtual std::chrono::milliseconds reading_lag() const { return std::chrono::milliseconds(20); }
};

namespace launch_cases {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

inline milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Starts `name` behaving so; the test ends when it does not start.
inline TaskId started(LaunchRig& rig, const std::string& name, Behaviour behaviour) {
    rig.install(name, behaviour);
    std::optional<TaskId> task = rig.start(name + " -map e1l8.map");
    EXPECT_TRUE(task) << name;
    return task.value_or(-1);
}

inline void missing_program_is_known_at_once(LaunchRig& rig) {
    auto start = Clock::now();
    EXPECT_FALSE(rig.start("missing.exe -map e1l8.map"));
    EXPECT_LT(since(start), rig.slack());
}

inline void window_comes_to_the_front_and_takes_the_keys(LaunchRig& rig) {
    TaskId task = started(rig, "duke3d.exe", Behaviour::Window);
    auto start = Clock::now();
    EXPECT_TRUE(rig.activate(task));
    EXPECT_LT(since(start), launch::kActivateHold + rig.slack());
    EXPECT_TRUE(rig.in_front(task));
    EXPECT_TRUE(rig.send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(rig.keys_of(task, 1), "Y");
    EXPECT_FALSE(rig.launcher_got_keys());
}

inline void failure_before_the_window_is_reported_at_once(LaunchRig& rig) {
    int late = 0;
    rig.on_late_failure([&late] { ++late; });
    TaskId task = started(rig, "setup.exe", Behaviour::FailsAtOnce);
    EXPECT_FALSE(rig.activate(task));
    EXPECT_FALSE(rig.send_keys("Y", launch::kAtOnce));
    rig.run_events(0.3);
    EXPECT_EQ(late, 0) << "reported twice";
}

inline void running_program_without_a_window_holds_briefly_and_gets_no_keys(LaunchRig& rig) {
    int late = 0;
    rig.on_late_failure([&late] { ++late; });
    TaskId task = started(rig, "build.exe", Behaviour::NoWindow);
    auto start = Clock::now();
    EXPECT_TRUE(rig.activate(task));
    EXPECT_LT(since(start), launch::kActivateHold + rig.slack());
    start = Clock::now();
    EXPECT_FALSE(rig.send_keys("Y", launch::kAtOnce));
    EXPECT_LT(since(start), launch::kKeysWait + rig.slack());
    EXPECT_FALSE(rig.launcher_got_keys());
    rig.run_events(0.3);
    EXPECT_EQ(late, 0);
}

inline void slow_window_comes_to_the_front_when_it_shows(LaunchRig& rig) {
    TaskId task = started(rig, "duke3d.exe", Behaviour::SlowWindow);
    auto start = Clock::now();
    EXPECT_TRUE(rig.activate(task));
    EXPECT_LT(since(start), launch::kActivateHold + rig.slack());
    rig.run_events(2.5);
    EXPECT_TRUE(rig.in_front(task));
    EXPECT_TRUE(rig.send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(rig.keys_of(task, 1), "Y");
}

inline void keys_wait_for_a_slow_window(LaunchRig& rig) {
    TaskId task = started(rig, "build.exe", Behaviour::SlowWindow);
    EXPECT_TRUE(rig.activate(task));
    auto start = Clock::now();
    EXPECT_TRUE(rig.send_keys("Y", launch::kAtOnce));
    EXPECT_LT(since(start), launch::kKeysWait + rig.slack());
    EXPECT_EQ(rig.keys_of(task, 1), "Y");
    EXPECT_FALSE(rig.launcher_got_keys());
}

// The keys wait until the window has been on the screen as long as asked, whether it showed
// during the activation or only after its hold; that wait is not taken from the wait for the
// focus. The time on the screen is the window system's, which the program sees a little late.
inline void keys_wait_for_the_window_to_be_up_long_enough(LaunchRig& rig) {
    const milliseconds asked(800);
    for (auto [name, behaviour] : {std::pair{"duke3d.exe", Behaviour::Window},
                                   std::pair{"build.exe", Behaviour::SlowWindow}}) {
        TaskId task = started(rig, name, behaviour);
        EXPECT_TRUE(rig.activate(task)) << name;
        auto start = Clock::now();
        EXPECT_TRUE(rig.send_keys("Y", asked)) << name;
        EXPECT_LT(since(start), launch::kKeysWait + asked + rig.slack()) << name;
        EXPECT_GE(rig.keys_after_shown(task), asked - rig.reading_lag()) << name;
    }
}

inline void failure_after_the_hold_is_reported_later_once(LaunchRig& rig) {
    int late = 0;
    rig.on_late_failure([&late] { ++late; });
    TaskId task = started(rig, "duke3d.exe", Behaviour::FailsLater);
    EXPECT_TRUE(rig.activate(task));  // still running at the end of the hold
    EXPECT_EQ(late, 0);
    rig.run_events(2.5);
    EXPECT_EQ(late, 1);
    rig.run_events(0.2);
    EXPECT_EQ(late, 1);
}

inline void program_that_ends_well_without_a_window_is_no_failure(LaunchRig& rig) {
    int late = 0;
    rig.on_late_failure([&late] { ++late; });
    TaskId task = started(rig, "setup.exe", Behaviour::EndsWithoutWindow);
    EXPECT_TRUE(rig.activate(task));
    rig.run_events(0.3);
    EXPECT_EQ(late, 0);
    EXPECT_FALSE(rig.send_keys("Y", launch::kAtOnce));
}

inline void unknown_task_has_no_window(LaunchRig& rig) {
    EXPECT_FALSE(rig.activate(424242));
    EXPECT_FALSE(rig.send_keys("Y", launch::kAtOnce));
}

}  // namespace launch_cases
}  // namespace dorvane::testing

#define DORVANE_LAUNCH_CASE(Fixture, Name, function)       \
    TEST_F(Fixture, Name) {                                \
        ::dorvane::testing::launch_cases::function(*this); \
    }

#define DORVANE_LAUNCH_CASES(Fixture)                                                           \
    DORVANE_LAUNCH_CASE(Fixture, MissingProgramIsKnownAtOnce, missing_program_is_known_at_once) \
    DORVANE_LAUNCH_CASE(Fixture, WindowComesToTheFrontAndTakesTheKeys,                          \
                        window_comes_to_the_front_and_takes_the_keys)                           \
    DORVANE_LAUNCH_CASE(Fixture, FailureBeforeTheWindowIsReportedAtOnce,                        \
                        failure_before_the_window_is_reported_at_once)                          \
    DORVANE_LAUNCH_CASE(Fixture, RunningProgramWithoutAWindowHoldsBrieflyAndGetsNoKeys,         \
                        running_program_without_a_window_holds_briefly_and_gets_no_keys)        \
    DORVANE_LAUNCH_CASE(Fixture, SlowWindowComesToTheFrontWhenItShows,                          \
                        slow_window_comes_to_the_front_when_it_shows)                           \
    DORVANE_LAUNCH_CASE(Fixture, KeysWaitForASlowWindow, keys_wait_for_a_slow_window)           \
    DORVANE_LAUNCH_CASE(Fixture, KeysWaitForTheWindowToBeUpLongEnough,                          \
                        keys_wait_for_the_window_to_be_up_long_enough)                          \
    DORVANE_LAUNCH_CASE(Fixture, FailureAfterTheHoldIsReportedLaterOnce,                        \
                        failure_after_the_hold_is_reported_later_once)                          \
    DORVANE_LAUNCH_CASE(Fixture, ProgramThatEndsWellWithoutAWindowIsNoFailure,                  \
                        program_that_ends_well_without_a_window_is_no_failure)                  \
    DORVANE_LAUNCH_CASE(Fixture, UnknownTaskHasNoWindow, unknown_task_has_no_window)
