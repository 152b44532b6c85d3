// SPDX-License-Identifier: MIT
// The launch contract's cases against the headless backend, the test double every launcher test
// relies on: it must promise what the real backends do.
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
    void install(const std::string& name, Behaviour behaviour) override {
        static const std::map<Behaviour, Program> as_program = {
            {Behaviour::Window, Program::Window},
            {Behaviour::SlowWindow, Program::SlowWindow},
            {Behaviour::NoWindow, Program::NoWindow},
            {Behaviour::FailsAtOnce, Program::FailsAtOnce},
            {Behaviour::FailsLater, Program::FailsLater},
            {Behaviour::EndsWithoutWindow, Program::EndsWithoutWindow}};
        services.programs[name] = as_program.at(behaviour);
    }
    std::optional<TaskId> start(const std::string& command_line) override {
        std::string program = command_line.substr(0, command_line.find(' '));
        if (!services.programs.count(program))
            services.missing_programs.insert(program);
        return services.start_program(command_line);
    }
    bool activate(TaskId task) override { return services.activate(task); }
    // Keys reported as typed that no started program's window took went elsewhere.
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override {
        std::size_t before = taken();
        bool typed = services.send_keys(keys, shown_for);
        if (typed && taken() != before + keys.size())
            stray_keys = true;
        if (typed && services.in_front)
            keys_at.try_emplace(*services.in_front, services.clock);
        return typed;
    }
    void on_late_failure(std::function<void()> report) override {
        services.on_late_failure(std::move(report));
    }
    void run_events(double) override { services.run_events(); }
    std::string keys_of(TaskId task, std::size_t) override { return services.keys_received[task]; }
    bool in_front(TaskId task) override { return services.in_front == task; }
    bool launcher_got_keys() override { return stray_keys; }
    std::chrono::milliseconds keys_after_shown(TaskId task) override {
        if (!keys_at.count(task) || !services.shown_at.count(task))
            return std::chrono::milliseconds::min();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(keys_at[task] - services.shown_at[task]));
    }

    std::size_t taken() const {
        std::size_t n = 0;
        for (const auto& [task, keys] : services.keys_received)
            n += keys.size();
        return n;
    }

    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    bool stray_keys = false;
    std::map<TaskId, double> keys_at;  // when each program's window got its first key
};

DORVANE_LAUNCH_CASES(HeadlessLaunch)

}  // namespace
}  // namespace dorvane
