// SPDX-License-Identifier: MIT
// Time from a launcher command to the started program running, through the core and the X11
// process services, against the stand-in program in a private X server. Reported, not asserted.
//
//   launch_time [runs]
//
// "to exec" ends when the stand-in's main() writes its first line, which is after the exec and
// its dynamic loading; "command" is the whole handler, which includes waiting for the window
// and asking the window manager to activate it.
#include "platform/x11/process.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "standin_log.h"
#include "support/temp_folder.h"
#include "x_session.h"

namespace {

using namespace dorvane;
namespace fs = std::filesystem;

// The headless backend with the real process services, so that the core's own command runs.
class RealProcesses : public HeadlessServices {
  public:
    RealProcesses(std::string folder, Display* display)
        : HeadlessServices(std::move(folder)), processes_(display) {}

    std::optional<TaskId> start_program(const std::string& command_line) override {
        std::optional<TaskId> task = processes_.start_program(command_line);
        if (task)
            tasks.push_back(*task);
        return task;
    }
    bool activate(TaskId task) override { return processes_.activate(task); }
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override {
        return processes_.send_keys(keys, shown_for);
    }

    std::vector<TaskId> tasks;

  private:
    x11::X11Processes processes_;
};

struct Summary {
    double min, median, max;
};

Summary summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    testing::XSession session;
    if (!session.failure().empty()) {
        std::fprintf(stderr, "launch_time: %s\n", session.failure().c_str());
        return 1;
    }
    testing::TempFolder folder;
    fs::current_path(folder.path());
    std::string log = (folder.path() / "standin.log").string();
    setenv("DORVANE_STANDIN_LOG", log.c_str(), 1);
    fs::copy_file(DORVANE_STANDIN_PATH, "duke3d.exe");

    RealProcesses services(folder.str(), session.display());
    Dorvane main(services);
    main.Option1[0].caption = "e1l8.map";

    std::vector<double> to_exec, command;
    for (int i = 0; i < runs; ++i) {
        double clicked = testing::monotonic_now();
        main.Duke3d_Click();
        double returned = testing::monotonic_now();
        if (services.tasks.size() != static_cast<std::size_t>(i + 1) ||
            !services.messages.empty()) {
            std::fprintf(stderr, "launch_time: the start failed\n");
            return 1;
        }
        pid_t pid = static_cast<pid_t>(services.tasks.back());
        std::vector<testing::StandinEvent> started;
        testing::wait_until([&] {
            started = testing::events_of(testing::read_standin_log(log), pid, "start");
            return !started.empty();
        });
        kill(pid, SIGTERM);
        if (started.empty())
            return 1;
        to_exec.push_back((started[0].t - clicked) * 1000);
        command.push_back((returned - clicked) * 1000);
    }
    Summary e = summarise(to_exec), c = summarise(command);
    std::printf("runs: %d\n", runs);
    std::printf("command to exec     min %7.2f ms  median %7.2f ms  max %7.2f ms\n", e.min,
                e.median, e.max);
    std::printf("whole command       min %7.2f ms  median %7.2f ms  max %7.2f ms\n", c.min,
                c.median, c.max);
    return 0;
}
