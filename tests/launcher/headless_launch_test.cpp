// SPDX-License-Identifier: MIT
// The launch engine against the headless backend's scripted driver, in its clock's time.
#include <gtest/gtest.h>

#include "launch_cases.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using std::chrono::duration, std::chrono::milliseconds, testing::Behaviour;
const auto seconds = [](milliseconds time) { return duration<double>(time).count(); };

class HeadlessLaunch : public ::testing::Test, public testing::LaunchRig {
  protected:
    launch::LaunchEngine& engine() override { return services.processes(); }
    Clock::time_point now() override {
        return Clock::time_point(
            std::chrono::duration_cast<Clock::duration>(duration<double>(services.clock)));
    }
    std::optional<TaskId> start(const std::string& name,
                                std::optional<Behaviour> behaviour) override {
        if (behaviour)  // Program lists the same behaviours in the same order
            services.programs[name] = static_cast<HeadlessServices::Program>(*behaviour);
        else
            services.missing_programs.insert(name);
        return engine().start_program(name + " -map e1l8.map");
    }
    void run_events(double time) override { services.run_events(time); }
    // The cases ask straight after the task's keys: the last step logged, "keys Y @<clock>".
    Keys keys_of(TaskId task) override {
        const std::string& keys = services.log.back();
        double shown = std::stod(keys.substr(keys.rfind(" @") + 2)) - services.shown_at.at(task);
        return {services.keys_received[task],
                std::chrono::duration_cast<milliseconds>(duration<double>(shown))};
    }
    bool in_front(TaskId task) override { return services.in_front == task; }
    bool stray_keys() override { return !services.stray_keys.empty(); }
    void hold_ctrl(milliseconds time) override {
        services.modifiers_held_until = services.clock + seconds(time);
    }
    milliseconds slack() const override { return milliseconds(60); }
    milliseconds reading_lag() const override { return milliseconds(0); }

    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
};

using namespace testing;  // where the case set is
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, LaunchCases, HeadlessLaunch);

// The window manager may drop the first requests for the focus: it is asked for again every
// kFocusAgain, within a wait that the time asked for on the screen does not shorten. Modifiers
// held beyond the keys' wait fail the keys rather than make a shortcut. The window is looked for
// until kWindowWait after the start, and not after.
TEST_F(HeadlessLaunch, FocusIsAskedForAgainAndHeldModifiersAreNeverTypedInto) {
    TaskId task = started("duke3d.exe", Behaviour::Window);
    services.raises_dropped = 3;
    EXPECT_TRUE(engine().activate(task));
    double asked = services.clock;
    const milliseconds up(2500);
    EXPECT_TRUE(engine().send_keys("Y", up));
    EXPECT_GE(services.clock - asked, seconds(up + 2 * launch::kFocusAgain));
    EXPECT_LT(services.clock - asked, seconds(up) + 3.1 * seconds(launch::kFocusAgain));
    hold_ctrl(launch::kKeysWait * 2);
    EXPECT_FALSE(engine().send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(services.keys_received[task], "Y");
    task = started("setup.exe", Behaviour::NoWindow);
    double start = services.clock;
    EXPECT_TRUE(engine().activate(task));
    run_events(120);
    EXPECT_FALSE(engine().pending());
    EXPECT_NEAR(services.clock - start, seconds(launch::kWindowWait), 0.1);
}

}  // namespace
}  // namespace dorvane
