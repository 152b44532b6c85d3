// SPDX-License-Identifier: MIT
// The launch contract's cases (platform/launch.h): one set, run through the launch engine on
// every system's driver, the scripted headless one at unit speed and the real ones against the
// stand-in. A test gives a fixture that is a LaunchRig and a GoogleTest fixture, and adds
// DORVANE_LAUNCH_CASES(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include "platform/launch_engine.h"

namespace dorvane::testing {

// How a program behaves in the terms of the contract. "Slow" and "later" mean after the
// activation's hold (1.5 s after the start) and well within the window wait.
enum class Behaviour { Window, SlowWindow, NoWindow, FailsAtOnce, FailsLater, EndsWithoutWindow };

class LaunchRig {
  public:
    using Clock = launch::LaunchDriver::Clock;
    virtual ~LaunchRig() = default;

    virtual launch::LaunchEngine& engine() = 0;
    // The driver's clock, in which the bounds are counted.
    virtual Clock::time_point now() = 0;
    // Puts a program named `name` into the current folder that behaves so.
    virtual void install(const std::string& name, Behaviour behaviour) = 0;
    virtual std::optional<TaskId> start_program(const std::string& command_line) = 0;
    // Lets the backend's event loop run for about `seconds`, as between the user's events.
    virtual void run_events(double seconds) = 0;
    // What the task's window took as text, once it holds `count` characters (bounded wait).
    virtual std::string keys_of(TaskId task, std::size_t count) = 0;
    // Whether the task's window is the active one (bounded wait).
    virtual bool in_front(TaskId task) = 0;
    // Whether a window other than the program's got any key.
    virtual bool stray_keys() = 0;
    // How long after the task's window showed its first key came, as the program itself saw
    // both (bounded wait for the key).
    virtual std::chrono::milliseconds keys_after_shown(TaskId task) = 0;
    // The user holds Ctrl for `time` from now, and then lets go.
    virtual void hold_ctrl(std::chrono::milliseconds time) = 0;
    // How much a driver's steps may overrun the contract's bounds on a loaded machine.
    virtual std::chrono::milliseconds slack() const { return std::chrono::milliseconds(700); }
    // How late, on a loaded machine, the program under test may note that its window is up or
    // that a key came, after the window system showed the one or delivered the other.
    virtual std::chrono::milliseconds reading_lag() const { return std::chrono::milliseconds(20); }
};

namespace launch_cases {

using std::chrono::milliseconds;

struct Timed {
    LaunchRig& rig;
    LaunchRig::Clock::time_point start = rig.now();
    milliseconds since() const {
        return std::chrono::duration_cast<milliseconds>(rig.now() - start);
    }
};

// Starts `name` behaving so; the test ends when it does not start.
inline TaskId started(LaunchRig& rig, const std::string& name, Behaviour behaviour) {
    rig.install(name, behaviour);
    std::optional<TaskId> task = rig.start_program(name + " -map e1l8.map");
    EXPECT_TRUE(task) << name;
    return task.value_or(-1);
}

// Counts the late reports, and checks that keys are refused.
inline int& late_reports(LaunchRig& rig) {
    static int late;
    late = 0;
    rig.engine().on_late_failure([] { ++late; });
    return late;
}

inline void missing_program_is_known_at_once(LaunchRig& rig) {
    Timed timed{rig};
    EXPECT_FALSE(rig.start_program("missing.exe -map e1l8.map"));
    EXPECT_LT(timed.since(), rig.slack());
    EXPECT_FALSE(rig.engine().activate(424242));
    EXPECT_FALSE(rig.engine().send_keys("Y", launch::kAtOnce));
}

inline void window_comes_to_the_front_and_takes_the_keys(LaunchRig& rig) {
    TaskId task = started(rig, "duke3d.exe", Behaviour::Window);
    Timed timed{rig};
    EXPECT_TRUE(rig.engine().activate(task));
    EXPECT_LT(timed.since(), launch::kActivateHold + rig.slack());
    EXPECT_TRUE(rig.in_front(task));
    EXPECT_TRUE(rig.engine().send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(rig.keys_of(task, 1), "Y");
    EXPECT_FALSE(rig.stray_keys());
}

inline void failure_before_the_window_is_reported_at_once(LaunchRig& rig) {
    int& late = late_reports(rig);
    TaskId task = started(rig, "setup.exe", Behaviour::FailsAtOnce);
    EXPECT_FALSE(rig.engine().activate(task));
    EXPECT_FALSE(rig.engine().send_keys("Y", launch::kAtOnce));
    rig.run_events(0.3);
    EXPECT_EQ(late, 0) << "reported twice";
}

inline void running_program_without_a_window_holds_briefly_and_gets_no_keys(LaunchRig& rig) {
    int& late = late_reports(rig);
    TaskId task = started(rig, "build.exe", Behaviour::NoWindow);
    Timed hold{rig};
    EXPECT_TRUE(rig.engine().activate(task));
    EXPECT_GE(hold.since(), launch::kActivateHold - rig.reading_lag());
    EXPECT_LT(hold.since(), launch::kActivateHold + rig.slack());
    Timed keys{rig};
    EXPECT_FALSE(rig.engine().send_keys("Y", launch::kAtOnce));
    EXPECT_LT(keys.since(), launch::kKeysWait + rig.slack());
    EXPECT_FALSE(rig.stray_keys());
    rig.run_events(0.3);
    EXPECT_EQ(late, 0);
}

// Whether the engine follows the window up from the event loop or waits for it to type.
inline void slow_window_comes_to_the_front_and_takes_the_keys(LaunchRig& rig) {
    for (bool from_the_loop : {true, false}) {
        TaskId task =
            started(rig, from_the_loop ? "duke3d.exe" : "build.exe", Behaviour::SlowWindow);
        Timed timed{rig};
        EXPECT_TRUE(rig.engine().activate(task));
        EXPECT_LT(timed.since(), launch::kActivateHold + rig.slack());
        if (from_the_loop) {
            rig.run_events(2.5);
            EXPECT_TRUE(rig.in_front(task));
        }
        EXPECT_TRUE(rig.engine().send_keys("Y", launch::kAtOnce));
        EXPECT_LT(timed.since(), launch::kActivateHold + launch::kKeysWait + rig.slack());
        EXPECT_EQ(rig.keys_of(task, 1), "Y");
        EXPECT_FALSE(rig.stray_keys());
    }
}

// The keys wait until the window has been on the screen as long as asked, whether it showed
// during the activation or only after its hold; that wait is not taken from the wait for the
// focus. The time on the screen is the window system's, which the program sees a little late.
inline void keys_wait_for_the_window_to_be_up_long_enough(LaunchRig& rig) {
    const milliseconds asked(800);
    for (auto [name, behaviour] : {std::pair{"duke3d.exe", Behaviour::Window},
                                   std::pair{"build.exe", Behaviour::SlowWindow}}) {
        TaskId task = started(rig, name, behaviour);
        EXPECT_TRUE(rig.engine().activate(task)) << name;
        Timed timed{rig};
        EXPECT_TRUE(rig.engine().send_keys("Y", asked)) << name;
        EXPECT_LT(timed.since(), launch::kKeysWait + asked + rig.slack()) << name;
        EXPECT_GE(rig.keys_after_shown(task), asked - rig.reading_lag()) << name;
    }
}

// The shortcut that started the command may still be held: the "Y" waits for the user to let
// go, or it would come as Ctrl+Y.
inline void keys_wait_for_the_modifiers_to_be_released(LaunchRig& rig) {
    TaskId task = started(rig, "build.exe", Behaviour::Window);
    EXPECT_TRUE(rig.engine().activate(task));
    EXPECT_TRUE(rig.in_front(task));
    const milliseconds held(600);
    rig.hold_ctrl(held);
    Timed timed{rig};
    EXPECT_TRUE(rig.engine().send_keys("Y", launch::kAtOnce));
    EXPECT_GE(timed.since(), held - rig.reading_lag());
    EXPECT_EQ(rig.keys_of(task, 1), "Y");
}

inline void failure_after_the_hold_is_reported_later_once(LaunchRig& rig) {
    int& late = late_reports(rig);
    TaskId task = started(rig, "duke3d.exe", Behaviour::FailsLater);
    EXPECT_TRUE(rig.engine().activate(task));  // still running at the end of the hold
    EXPECT_EQ(late, 0);
    rig.run_events(2.5);
    EXPECT_EQ(late, 1);
    rig.run_events(0.2);
    EXPECT_EQ(late, 1);
}

// It may have handed its work to another process, whose window is still looked for.
inline void program_that_ends_well_without_a_window_is_no_failure(LaunchRig& rig) {
    int& late = late_reports(rig);
    TaskId task = started(rig, "setup.exe", Behaviour::EndsWithoutWindow);
    EXPECT_TRUE(rig.engine().activate(task));
    EXPECT_TRUE(rig.engine().pending());
    rig.run_events(0.3);
    EXPECT_EQ(late, 0);
    EXPECT_FALSE(rig.engine().send_keys("Y", launch::kAtOnce));
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
    DORVANE_LAUNCH_CASE(Fixture, SlowWindowComesToTheFrontAndTakesTheKeys,                      \
                        slow_window_comes_to_the_front_and_takes_the_keys)                      \
    DORVANE_LAUNCH_CASE(Fixture, KeysWaitForTheWindowToBeUpLongEnough,                          \
                        keys_wait_for_the_window_to_be_up_long_enough)                          \
    DORVANE_LAUNCH_CASE(Fixture, KeysWaitForTheModifiersToBeReleased,                           \
                        keys_wait_for_the_modifiers_to_be_released)                             \
    DORVANE_LAUNCH_CASE(Fixture, FailureAfterTheHoldIsReportedLaterOnce,                        \
                        failure_after_the_hold_is_reported_later_once)                          \
    DORVANE_LAUNCH_CASE(Fixture, ProgramThatEndsWellWithoutAWindowIsNoFailure,                  \
                        program_that_ends_well_without_a_window_is_no_failure)
