// SPDX-License-Identifier: MIT
// The launch contract's cases (platform/launch.h), run through the launch engine on every
// driver: INSTANTIATE_TYPED_TEST_SUITE_P(Backend, LaunchCases, Fixture), Fixture a LaunchRig.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <tuple>

#include "platform/launch_engine.h"

namespace dorvane::testing {

using launch::kActivateHold, launch::kAtOnce, launch::kKeysWait;
using std::chrono::milliseconds;

// "Slow" and "later": after the activation's hold (1.5 s), well within the window wait.
enum class Behaviour { Window, SlowWindow, NoWindow, FailsAtOnce, FailsLater, EndsWithoutWindow };

// Through set(name, value), a null value unsetting.
template <class Set>
void set_knobs(Behaviour behaviour, Set set) {
    static constexpr const char* kValues[][3] = {
        {}, {"1.5"}, {nullptr, nullptr, "1"}, {nullptr, "3"}, {"1.5", "3"}, {nullptr, "0"}};
    const auto& values = kValues[static_cast<int>(behaviour)];
    set("DORVANE_STANDIN_DELAY", values[0]);
    set("DORVANE_STANDIN_EXIT", values[1]);
    set("DORVANE_STANDIN_NO_WINDOW", values[2]);
}

// The test's own loop follows launches up.
template <class Driver>
struct LoopFree : Driver {
    using Driver::Driver;
    void follow_up_soon() override {}
    void run_as_event(const std::function<void()>& report) override { report(); }
};

class LaunchRig {
  public:
    using Clock = launch::LaunchDriver::Clock;
    struct Keys {
        std::string text;
        milliseconds after_shown;  // from the window's showing to the first key
    };
    virtual ~LaunchRig() = default;

    virtual launch::LaunchEngine& engine() = 0;
    virtual Clock::time_point now() = 0;  // the driver's clock
    // Puts `name` that behaves so into the current folder (none: missing), starts it with a map.
    virtual std::optional<TaskId> start(const std::string& name, std::optional<Behaviour>) = 0;
    virtual void run_events(double seconds) = 0;  // the backend's loop, as between user events
    virtual Keys keys_of(TaskId task) = 0;        // as the program saw them (bounded wait)
    virtual bool in_front(TaskId task) = 0;       // bounded wait
    virtual bool stray_keys() = 0;                // whether another window got a key
    virtual void hold_ctrl(milliseconds time) = 0;
    // How far a loaded machine may overrun the bounds, how late the program notes what it saw.
    virtual milliseconds slack() const { return milliseconds(700); }
    virtual milliseconds reading_lag() const { return milliseconds(20); }

    TaskId started(const std::string& name, Behaviour behaviour) {
        return start(name, behaviour).value_or(-1);  // a failed start fails the activation
    }
    milliseconds since(Clock::time_point start) {
        return std::chrono::duration_cast<milliseconds>(now() - start);
    }
    int late = 0;  // late failures reported, once a case asks the engine for them
};

template <class Rig>
class LaunchCases : public Rig {};
TYPED_TEST_SUITE_P(LaunchCases);

// Failing to start, or before the window shows, in the hold or after: known at once or told
// later, once. Without a window at the hold's end, running or ended well (it may have handed its
// work to another process), a program is no failure.
TYPED_TEST_P(LaunchCases, FailureIsKnownAtOnceOrReportedLaterOnce) {
    LaunchRig& rig = *this;
    rig.engine().on_late_failure([&rig] { ++rig.late; });
    auto start = rig.now();
    EXPECT_FALSE(rig.start("missing.exe", std::nullopt));
    EXPECT_LT(rig.since(start), rig.slack());
    EXPECT_FALSE(rig.engine().activate(424242));
    EXPECT_FALSE(rig.engine().activate(rig.started("setup.exe", Behaviour::FailsAtOnce)));
    EXPECT_FALSE(rig.engine().send_keys("Y", kAtOnce));
    rig.run_events(0.3);
    EXPECT_EQ(rig.late, 0);
    EXPECT_TRUE(rig.engine().activate(rig.started("duke3d.exe", Behaviour::FailsLater)));
    EXPECT_EQ(rig.late, 0);
    rig.run_events(2.5);
    EXPECT_EQ(rig.late, 1);
    for (auto behaviour : {Behaviour::NoWindow, Behaviour::EndsWithoutWindow}) {
        TaskId task = rig.started("build.exe", behaviour);
        start = rig.now();
        EXPECT_TRUE(rig.engine().activate(task));
        EXPECT_GE(rig.since(start), kActivateHold - rig.reading_lag());
        EXPECT_LT(rig.since(start), kActivateHold + rig.slack());
        EXPECT_TRUE(rig.engine().pending());
        start = rig.now();
        EXPECT_FALSE(rig.engine().send_keys("Y", kAtOnce));
        EXPECT_LT(rig.since(start), kKeysWait + rig.slack());
        rig.run_events(0.3);
    }
    EXPECT_FALSE(rig.stray_keys());
    EXPECT_EQ(rig.late, 1);
}

// The keys wait until the window was on the screen as long as asked, whether it showed in the
// activation or after its hold (followed up from the event loop, or waited for to type). The
// shortcut that started the command may still be held: the "Y" waits for the user to let go, or
// it would come as Ctrl+Y.
TYPED_TEST_P(LaunchCases, KeysGoOnceTheWindowWasUpLongEnoughAndCtrlIsLetGo) {
    LaunchRig& rig = *this;
    for (auto [behaviour, from_the_loop, asked] :
         {std::tuple{Behaviour::Window, false, milliseconds(800)},
          {Behaviour::SlowWindow, false, milliseconds(800)},
          {Behaviour::SlowWindow, true, kAtOnce}}) {
        TaskId task = rig.started("duke3d.exe", behaviour);
        auto start = rig.now();
        EXPECT_TRUE(rig.engine().activate(task));
        EXPECT_LT(rig.since(start), kActivateHold + rig.slack());
        if (from_the_loop) {
            rig.run_events(2.5);
            EXPECT_TRUE(rig.in_front(task));
        }
        start = rig.now();
        EXPECT_TRUE(rig.engine().send_keys("Y", asked));
        EXPECT_LT(rig.since(start), kKeysWait + asked + rig.slack());
        LaunchRig::Keys keys = rig.keys_of(task);
        EXPECT_EQ(keys.text, "Y");
        EXPECT_GE(keys.after_shown, asked - rig.reading_lag());
    }
    TaskId task = rig.started("setup.exe", Behaviour::Window);
    EXPECT_TRUE(rig.engine().activate(task));
    EXPECT_TRUE(rig.in_front(task));
    const milliseconds held(600);
    rig.hold_ctrl(held);
    auto start = rig.now();
    EXPECT_TRUE(rig.engine().send_keys("Y", kAtOnce));
    EXPECT_GE(rig.since(start), held - rig.reading_lag());
    EXPECT_EQ(rig.keys_of(task).text, "Y");
    EXPECT_FALSE(rig.stray_keys());
}

REGISTER_TYPED_TEST_SUITE_P(LaunchCases, FailureIsKnownAtOnceOrReportedLaterOnce,
                            KeysGoOnceTheWindowWasUpLongEnoughAndCtrlIsLetGo);

}  // namespace dorvane::testing
