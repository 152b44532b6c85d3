// SPDX-License-Identifier: MIT
// The launch engine's policy against the scripted driver of the headless backend, in its clock's
// time: the launch contract's cases, and the rules no real program can be made to show on cue.
#include <gtest/gtest.h>

#include <map>

#include "launch_cases.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using testing::Behaviour;
using Program = HeadlessServices::Program;

class HeadlessLaunch : public ::testing::Test, public testing::LaunchRig {
  protected:
    launch::LaunchEngine& engine() override { return services.processes(); }
    Clock::time_point now() override {
        return Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(services.clock)));
    }
    // Program lists the same behaviours in the same order.
    void install(const std::string& name, Behaviour behaviour) override {
        services.programs[name] = static_cast<Program>(behaviour);
    }
    std::optional<TaskId> start_program(const std::string& command_line) override {
        std::string program = command_line.substr(0, command_line.find(' '));
        if (!services.programs.count(program))
            services.missing_programs.insert(program);
        return engine().start_program(command_line);
    }
    void run_events(double seconds) override { services.run_events(seconds); }
    std::string keys_of(TaskId task, std::size_t) override { return services.keys_received[task]; }
    bool in_front(TaskId task) override { return services.in_front == task; }
    bool stray_keys() override { return !services.stray_keys.empty(); }
    // The cases ask straight after the task's keys: the last keys typed.
    std::chrono::milliseconds keys_after_shown(TaskId task) override {
        for (auto it = services.log.rbegin(); it != services.log.rend(); ++it) {
            const std::string& line = *it;
            if (line.rfind("keys ", 0) == 0 && services.shown_at.count(task))
                return std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::duration<double>(std::stod(line.substr(line.rfind(" @") + 2)) -
                                                  services.shown_at[task]));
        }
        return std::chrono::milliseconds::min();
    }
    void hold_ctrl(std::chrono::milliseconds time) override {
        services.modifiers_held_until =
            services.clock + std::chrono::duration<double>(time).count();
    }
    std::chrono::milliseconds slack() const override { return std::chrono::milliseconds(60); }
    std::chrono::milliseconds reading_lag() const override { return std::chrono::milliseconds(0); }

    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
};

DORVANE_LAUNCH_CASES(HeadlessLaunch)

TEST_F(HeadlessLaunch, FocusDroppedByTheWindowManagerIsAskedForAgain) {
    TaskId task = testing::launch_cases::started(*this, "duke3d.exe", Behaviour::Window);
    services.raises_dropped = 3;
    EXPECT_TRUE(engine().activate(task));
    double asked = services.clock;
    EXPECT_TRUE(engine().send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(services.keys_received[task], "Y");
    double waited = services.clock - asked;
    EXPECT_GE(waited, 2 * std::chrono::duration<double>(launch::kFocusAgain).count());
    EXPECT_LT(waited, 3.1 * std::chrono::duration<double>(launch::kFocusAgain).count());
}

TEST_F(HeadlessLaunch, KeysHeldLongerThanTheWaitAreNeverTypedAsShortcuts) {
    TaskId task = testing::launch_cases::started(*this, "build.exe", Behaviour::Window);
    EXPECT_TRUE(engine().activate(task));
    hold_ctrl(launch::kKeysWait * 2);
    EXPECT_FALSE(engine().send_keys("Y", launch::kAtOnce));
    EXPECT_TRUE(services.keys_received[task].empty());
}

// The window is looked for until kWindowWait after the start, and not after.
TEST_F(HeadlessLaunch, ALaunchIsFollowedUpForTheWindowWaitAndThenLeftAlone) {
    TaskId task = testing::launch_cases::started(*this, "setup.exe", Behaviour::NoWindow);
    double start = services.clock;
    EXPECT_TRUE(engine().activate(task));
    run_events(120);
    EXPECT_FALSE(engine().pending());
    EXPECT_NEAR(services.clock - start, std::chrono::duration<double>(launch::kWindowWait).count(),
                0.1);
}

}  // namespace
}  // namespace dorvane
