// SPDX-License-Identifier: MIT
// Time from a launcher command to the started program running, through the core and the X11
// launch driver, against the stand-in program in an X server of its own. Reported, not asserted.
//
//   tests/e2e/run_in_x.py launch_time [runs]
//
// "to exec" ends when the stand-in's main() writes its first line, which is after the exec and
// its dynamic loading; "command" is the whole handler, which includes waiting for the window
// and asking the window manager to activate it.
#include "platform/x11/launch_driver.h"

#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "standin_log.h"
#include "support/temp_folder.h"

#include <X11/Xlib.h>  // last: its macros clash with names of the platform seam

namespace {

using namespace dorvane;
namespace fs = std::filesystem;

// The X11 driver without an event loop: nothing is followed up after a command.
class RealLaunches : public x11::X11LaunchDriver {
  public:
    using X11LaunchDriver::X11LaunchDriver;
    std::optional<TaskId> start_program(const std::string& command_line) override {
        std::optional<TaskId> task = X11LaunchDriver::start_program(command_line);
        if (task)
            tasks.push_back(*task);
        return task;
    }
    void follow_up_soon() override {}
    void run_as_event(const std::function<void()>&) override {}

    std::vector<TaskId> tasks;
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
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "launch_time: no X display\n");
        return 1;
    }
    testing::TempFolder folder;
    fs::current_path(folder.path());
    std::string log = (folder.path() / "standin.log").string();
    setenv("DORVANE_STANDIN_LOG", log.c_str(), 1);
    fs::copy_file(DORVANE_STANDIN_PATH, "duke3d.exe");

    // The headless backend with the real launches, so that the core's own command runs.
    HeadlessServices services(folder.str());
    RealLaunches launches(display);
    launch::LaunchEngine engine(launches);
    Dorvane main(Services{services, services, engine, services, services});
    main.Option1[0].caption = "e1l8.map";

    std::vector<double> to_exec, command;
    for (int i = 0; i < runs; ++i) {
        double clicked = testing::monotonic_now();
        main.Duke3d_Click();
        double returned = testing::monotonic_now();
        if (launches.tasks.size() != static_cast<std::size_t>(i + 1) ||
            !services.messages.empty()) {
            std::fprintf(stderr, "launch_time: the start failed\n");
            return 1;
        }
        pid_t pid = static_cast<pid_t>(launches.tasks.back());
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
