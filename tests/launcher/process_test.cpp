// SPDX-License-Identifier: MIT
// The X11 launch driver against the stand-in program, in a private X server with openbox.
// Before any Xlib header, whose macros (None, Status) clash with names of the platform seam.
#include "platform/x11/launch_driver.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "launch_cases.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/properties.h"
#include "standin_log.h"
#include "support/temp_folder.h"
#include "tools/standin/json_text.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;
using Events = std::vector<testing::StandinEvent>;
using std::chrono::duration, std::chrono::duration_cast, std::chrono::milliseconds;
using testing::Behaviour, testing::wait_until;

Events log_of(TaskId pid, const std::string& kind, bool wait = false) {
    Events found;
    wait_until([&] {
        found = testing::events_of(testing::read_standin_log("standin.log"), int(pid), kind);
        return !wait || !found.empty();
    });
    return found;
}

Display* const display = XOpenDisplay(nullptr);

Window active_window() {
    std::vector<unsigned long> active =
        x11::cardinals(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
    return active.empty() ? None : active[0];
}

// A window of the test's own, of class `name` ("Wine"'s programs have their file's name), shown.
Window show_window(const char* name, bool fixed, bool iconic) {
    Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 64, 40, 0, 0, 0);
    XClassHint hint{const_cast<char*>(name), const_cast<char*>("Wine")};
    XSizeHints size{.flags = fixed ? PMinSize | PMaxSize : 0};
    size.min_width = size.max_width = 64;
    size.min_height = size.max_height = 40;
    XWMHints hints{.flags = StateHint, .initial_state = iconic ? IconicState : NormalState};
    XSetWMProperties(display, w, nullptr, nullptr, nullptr, 0, &size, &hints, &hint);
    XSelectInput(display, w, KeyPressMask);
    XMapWindow(display, w);
    XSync(display, False);
    return w;
}

// Per test a fresh current folder, and a window of the test's own as the launcher's, focused.
class X11Launch : public ::testing::Test, public testing::LaunchRig {
  protected:
    void SetUp() override {
        ASSERT_NE(display, nullptr) << "no X display";
        fs::current_path(folder.path());
        setenv("DORVANE_STANDIN_LOG", (folder.path() / "standin.log").c_str(), 1);
        launcher = show_window("dorvane", false, false);
        ASSERT_TRUE(wait_until([&] {  // asked again until it is mapped and taken
            x11::request_activation(display, launcher);
            return x11::holds_focus(display, launcher);
        }));
    }
    void TearDown() override {
        for (TaskId pid : to_end)
            kill(static_cast<pid_t>(pid), SIGTERM);
        XDestroyWindow(display, launcher);
    }

    std::optional<TaskId> run(const std::string& command_line) {
        std::optional<TaskId> task = engine_.start_program(command_line);
        if (task)
            to_end.push_back(*task);
        return task;
    }

    launch::LaunchEngine& engine() override { return engine_; }
    Clock::time_point now() override { return Clock::now(); }
    std::optional<TaskId> start(const std::string& name,
                                std::optional<Behaviour> behaviour) override {
        auto knob = [](const char* k, const char* v) { v ? setenv(k, v, 1) : unsetenv(k); };
        if (behaviour && !fs::exists(name))
            fs::create_symlink(DORVANE_STANDIN_PATH, name);
        testing::set_knobs(behaviour.value_or(Behaviour::Window), knob);
        std::optional<TaskId> task = run(name + " -map e1l8.map");
        testing::set_knobs(Behaviour::Window, knob);
        return task;
    }
    void run_events(double seconds) override {  // what the FLTK backend's timer does
        for (auto end = Clock::now() + duration<double>(seconds); Clock::now() < end;) {
            if (engine_.pending())
                engine_.follow_up();
            std::this_thread::sleep_for(milliseconds(50));
        }
    }
    Keys keys_of(TaskId task) override {
        Keys keys;
        wait_until([&] {
            keys = {"", milliseconds::min()};
            Events mapped = log_of(task, "mapped");
            for (const testing::StandinEvent& e : log_of(task, "key")) {
                std::size_t at = e.line.find("\"key\":\"") + 7;
                keys.text += e.line.substr(at, e.line.find('"', at) - at);
                if (keys.after_shown == milliseconds::min() && !mapped.empty())
                    keys.after_shown =
                        duration_cast<milliseconds>(duration<double>(e.t - mapped[0].t));
            }
            return !keys.text.empty();
        });
        return keys;
    }
    bool in_front(TaskId task) override {
        return wait_until([&] {
            Events mapped = log_of(task, "mapped");
            return !mapped.empty() &&
                   mapped[0].line.ends_with(",\"window\":" + std::to_string(active_window()) + "}");
        });
    }
    bool stray_keys() override {
        XEvent e;
        return XCheckWindowEvent(display, launcher, KeyPressMask, &e);
    }
    // Pressed here, let go from a connection of its own while the engine waits.
    void hold_ctrl(milliseconds time) override {
        const unsigned code = XKeysymToKeycode(display, XK_Control_L);
        XTestFakeKeyEvent(display, code, True, 0);
        XSync(display, False);
        ctrl = std::jthread([time, code] {
            std::this_thread::sleep_for(time);
            Display* own = XOpenDisplay(nullptr);
            XTestFakeKeyEvent(own, code, False, 0);
            XCloseDisplay(own);
        });
    }

    testing::TempFolder folder;
    testing::LoopFree<x11::X11LaunchDriver> driver{display};
    launch::LaunchEngine engine_{driver, {.window_wait = std::chrono::seconds(5)}};
    Window launcher = None;
    std::jthread ctrl;
    std::vector<TaskId> to_end;
};

using namespace testing;  // where the case set is
INSTANTIATE_TYPED_TEST_SUITE_P(X11, LaunchCases, X11Launch);

// Exactly its arguments, in the current folder; names that a shell would take apart arrive as
// plain bytes and run nothing; the program in any letter case. A file that cannot run fails.
TEST_F(X11Launch, ProgramGetsItsArgumentsExactlyAndNothingElse) {
    fs::create_symlink(DORVANE_STANDIN_PATH, "Duke3D.exe");
    folder.write("setup.exe", "#!/bin/sh\ntouch ran\n");  // no execute bit
    folder.write("build.exe", "garbage, not a program");
    fs::permissions("build.exe", fs::perms::owner_all);
    fs::create_directory("game.exe");
    for (const char* line : {"setup.exe -map a.map", "build.exe", "game.exe", "../duke3d.exe", ""})
        EXPECT_FALSE(run(line)) << line;
    for (const std::string name : {"my  map.map\t2", "$(touch${IFS}x);.map", "a\" b\".map",
                                   "`touch${IFS}y`.map", "'\\\\'&&touch${IFS}v", "\xe9t\xe9.map"}) {
        std::optional<TaskId> task = run("duke3d.exe -map " + name);
        ASSERT_TRUE(task) << driver.last_error();
        std::string argv = "\"argv\":[\"duke3d.exe\",\"-map\"";
        std::istringstream words(name);
        for (std::string word; words >> word;)
            argv += "," + standin::json_text(word);
        std::string begun = log_of(*task, "start", true).at(0).line;
        EXPECT_EQ(begun.substr(begun.find("\"argv\":")),
                  argv + "],\"cwd\":" + standin::json_text(fs::current_path().string()) +
                      ",\"fds\":[0,1,2]}");
    }
    for (const char* made : {"x", "y", "v", "touch", "ran"})
        EXPECT_FALSE(fs::exists(made)) << made;
}

// The next start reaps the programs that ended, and so does the word of an end on the pipe as the
// backend's loop takes it.
TEST_F(X11Launch, FinishedProgramsLeaveNoZombies) {
    const int child_ends = posix::watch_child_ends();
    ASSERT_GE(child_ends, 0);
    auto ended = [](TaskId pid) {  // looked at without reaping it
        return wait_until([&] {
            siginfo_t info{};
            return waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid;
        });
    };
    auto gone = [](TaskId pid) { return !fs::exists("/proc/" + std::to_string(pid)); };
    std::vector<TaskId> tasks;
    for (auto behaviour : {Behaviour::EndsWithoutWindow, Behaviour::FailsAtOnce, Behaviour::Window})
        tasks.push_back(start("duke3d.exe", behaviour).value_or(-1));
    ASSERT_TRUE(engine_.activate(tasks.back()));
    kill(static_cast<pid_t>(tasks.back()), SIGTERM);
    for (TaskId pid : tasks)
        ASSERT_TRUE(ended(pid)) << pid;
    std::optional<TaskId> next = run("duke3d.exe");
    ASSERT_TRUE(next);
    for (TaskId pid : tasks)
        EXPECT_TRUE(gone(pid)) << pid << " left as a zombie";
    kill(static_cast<pid_t>(*next), SIGTERM);
    ASSERT_TRUE(ended(*next));
    posix::take_child_ends(child_ends);
    driver.reap();
    EXPECT_TRUE(gone(*next)) << "not reaped on the word of its end";
}

// A window older than the start is not the program's, even of its class; one shown after it is
// taken by its class (no _NET_WM_PID), keeps its fixed size, comes up if minimised. Window numbers
// are given out again: by its process, one listed at the start is the launch's all the same.
// Wine hands the program to a process outside the started one's tree and session: its window
// is still found, by the launch's marker in the environment.
TEST_F(X11Launch, WhichWindowIsTheProgramsOwn) {
    Window older = show_window("setup.exe", true, false);
    ASSERT_TRUE(wait_until([&] { return x11::managed_windows(display).count(older) > 0; }));
    for (bool iconic : {false, true}) {
        std::optional<TaskId> task = start("setup.exe", Behaviour::NoWindow);
        ASSERT_TRUE(task && engine_.activate(*task));
        EXPECT_TRUE(engine_.pending()) << "took a window older than the start";
        Window late = show_window("setup.exe", !iconic, iconic);
        EXPECT_TRUE(wait_until([&] { return !engine_.follow_up(); }));
        XWindowAttributes attributes{};
        EXPECT_TRUE(wait_until([&] {
            return XGetWindowAttributes(display, late, &attributes) &&
                   attributes.map_state == IsViewable && active_window() == late;
        }));
        EXPECT_TRUE(iconic || attributes.width == 64) << "a fixed size was not kept";
        XDestroyWindow(display, late);
    }
    const long pid = 424242;
    XChangeProperty(display, older, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    EXPECT_EQ(x11::window_of(display, [](pid_t p) { return p == pid; }, "setup.exe", {older}),
              older);
    XDestroyWindow(display, older);
    setenv("DORVANE_STANDIN_DETACH", "1", 1);
    std::optional<TaskId> task = start("duke3d.exe", Behaviour::Window);
    unsetenv("DORVANE_STANDIN_DETACH");
    Events detached = log_of(0, "detached", true);
    ASSERT_TRUE(task && !detached.empty());
    TaskId second = detached[0].pid;
    to_end.push_back(second);
    EXPECT_TRUE(engine_.activate(*task));
    EXPECT_FALSE(log_of(second, "maximised", true).empty());
    EXPECT_TRUE(engine_.send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(keys_of(second).text, "Y");
}

// Another client's property of the wrong type or format, or a window gone, reads as nothing.
TEST_F(X11Launch, PropertiesAreReadSafely) {
    Window top = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 80, 60, 0, 0, 0);
    const long four[] = {1, 2, 3, 40000};
    XChangeProperty(display, top, XInternAtom(display, "DORVANE_TEST_FOUR", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(four), 4);
    XChangeProperty(display, top, XInternAtom(display, "DORVANE_TEST_BYTES", False), XA_CARDINAL, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>("abcd"), 4);
    XStoreName(display, top, "tree test");
    EXPECT_EQ(x11::cardinals(display, top, "DORVANE_TEST_FOUR", XA_CARDINAL, 2),
              (std::vector<unsigned long>{1, 2}));
    EXPECT_TRUE(x11::cardinals(display, top, "DORVANE_TEST_FOUR", XA_WINDOW).empty());
    EXPECT_TRUE(x11::cardinals(display, top, "DORVANE_TEST_BYTES", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(display, top, XA_WM_NAME), "tree test");
    XDestroyWindow(display, top);
    auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    EXPECT_TRUE(x11::cardinals(display, top, "DORVANE_TEST_FOUR", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(display, top, XA_WM_NAME), std::nullopt);
    XSync(display, False);
    XSetErrorHandler(previous);
}

}  // namespace
}  // namespace dorvane
