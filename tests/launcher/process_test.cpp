// SPDX-License-Identifier: MIT
// The X11 process services against the stand-in program, in a private X server with openbox.
// Before any Xlib header, whose macros (None, Status) clash with names of the platform seam.
#include "platform/x11/process.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "launch_cases.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/properties.h"
#include "standin_fixture.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;
using testing::Behaviour;
using testing::json_array;
using testing::read_standin_log;
using testing::StandinEvent;
using testing::wait_until;

x11::ProcessTimings quick_timings() {
    x11::ProcessTimings t;
    t.window_wait = std::chrono::milliseconds(5000);
    return t;
}

class X11ProcessTest : public testing::StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        processes = std::make_unique<x11::X11Processes>(display(), quick_timings());
    }

    std::optional<TaskId> start(const std::string& command_line) {
        std::optional<TaskId> task = processes->start_program(command_line);
        if (task)
            end_later(*task);
        return task;
    }

    std::unique_ptr<x11::X11Processes> processes;
};

TEST_F(X11ProcessTest, ProgramGetsItsArgumentsExactlyInTheCurrentFolder) {
    install("duke3d.exe");
    std::optional<TaskId> task = start("duke3d.exe -map my  map.map");
    ASSERT_TRUE(task) << processes->last_error();
    std::string line = start_line(*task);
    EXPECT_NE(line.find("\"argv\":" + json_array({"duke3d.exe", "-map", "my", "map.map"})),
              std::string::npos)
        << line;
    std::string cwd = json_array({fs::current_path().string()});
    EXPECT_NE(line.find("\"cwd\":" + cwd.substr(1, cwd.size() - 2)), std::string::npos) << line;
}

TEST_F(X11ProcessTest, HostileNamesArriveAsPlainBytesAndRunNothingElse) {
    install("duke3d.exe");
    const std::vector<std::string> names = {"$(touch${IFS}x);.map", "a\"b.map",
                                            "`touch${IFS}y`.map",   "z;touch${IFS}w;",
                                            "'\\\\'&&touch${IFS}v", "\xe9t\xe9.map"};
    for (const std::string& name : names) {
        std::optional<TaskId> task = start("duke3d.exe -map " + name);
        ASSERT_TRUE(task) << name;
        std::string line = start_line(*task);
        EXPECT_NE(line.find(json_array({"duke3d.exe", "-map", name})), std::string::npos) << line;
    }
    for (const char* made : {"x", "y", "w", "v", "touch"})
        EXPECT_FALSE(fs::exists(made)) << made;
}

TEST_F(X11ProcessTest, ProgramIsFoundInAnyLetterCase) {
    install("build.exe");
    install("SETUP.EXE");
    std::optional<TaskId> editor = start("Build.exe e1l8.map");
    std::optional<TaskId> setup = start("setup.exe");
    ASSERT_TRUE(editor && setup);
    EXPECT_NE(start_line(*editor).find(json_array({"Build.exe", "e1l8.map"})), std::string::npos);
    EXPECT_NE(start_line(*setup).find(json_array({"setup.exe"})), std::string::npos);
}

TEST_F(X11ProcessTest, FailureToStartIsKnownBeforeTheCallReturns) {
    folder.write("setup.exe", "#!/bin/sh\ntouch ran\n");  // no execute bit
    folder.write("build.exe", "garbage, not a program");
    fs::permissions("build.exe", fs::perms::owner_all);
    fs::create_directory("duke3d.exe");
    for (const char* line : {"duke3d.exe", "setup.exe -map a.map", "build.exe", "missing.exe",
                             "../duke3d.exe", "", "   "}) {
        EXPECT_FALSE(start(line)) << line;
    }
    EXPECT_FALSE(fs::exists("ran"));
}

TEST_F(X11ProcessTest, ScriptWithTheExecuteBitRunsDirectly) {
    folder.write("setup.exe", "#!/bin/sh\necho \"$@\" > ran\n");
    fs::permissions("setup.exe", fs::perms::owner_all);
    ASSERT_TRUE(start("setup.exe -map a;b.map"));
    EXPECT_TRUE(wait_until([] { return fs::exists("ran") && fs::file_size("ran") > 0; }));
    std::ifstream in("ran");
    std::string got;
    std::getline(in, got);
    EXPECT_EQ(got, "-map a;b.map");
}

bool is_zombie_or_gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    return line.substr(line.rfind(')') + 2, 1) == "Z";
}

bool gone(pid_t pid) {
    return !fs::exists("/proc/" + std::to_string(pid));
}

// Nothing waits for the programs in the background: the word of their end on the pipe, taken
// as the backend's event loop takes it, reaps them, whether or not an activation follows them.
TEST_F(X11ProcessTest, FinishedProgramsLeaveNoZombies) {
    const int child_ends = posix::watch_child_ends();
    ASSERT_GE(child_ends, 0);
    auto event_loop_turn = [&] {
        if (posix::take_child_ends(child_ends))
            processes->reap();
    };
    install("duke3d.exe");
    std::vector<pid_t> pids;
    setenv("DORVANE_STANDIN_EXIT", "0", 1);
    for (int i = 0; i < 5; ++i)
        pids.push_back(static_cast<pid_t>(*start("duke3d.exe")));
    unsetenv("DORVANE_STANDIN_EXIT");
    for (int i = 0; i < 5; ++i)
        pids.push_back(static_cast<pid_t>(*start("duke3d.exe")));
    for (std::size_t i = 5; i < pids.size(); ++i) {
        wait_for(pids[i], "mapped");
        kill(pids[i], SIGTERM);
    }
    for (pid_t pid : pids) {
        EXPECT_TRUE(wait_until([&] { return is_zombie_or_gone(pid); })) << pid;
        EXPECT_TRUE(wait_until([&] {
            event_loop_turn();
            return gone(pid);
        })) << pid
            << " left as a zombie";
    }
}

// One that ends once its activation is over is reaped by the word of its end alone; and
// without that word, by the next start at the latest.
TEST_F(X11ProcessTest, AProgramEndingAfterItsActivationLeavesNoZombie) {
    const int child_ends = posix::watch_child_ends();
    ASSERT_GE(child_ends, 0);
    install("duke3d.exe");
    std::optional<TaskId> task = start("duke3d.exe");
    ASSERT_TRUE(task);
    wait_for(*task, "mapped");
    ASSERT_TRUE(processes->activate(*task));
    EXPECT_FALSE(processes->pending());
    pid_t pid = static_cast<pid_t>(*task);
    kill(pid, SIGTERM);
    ASSERT_TRUE(wait_until([&] { return is_zombie_or_gone(pid); }));
    EXPECT_TRUE(wait_until([&] {
        if (posix::take_child_ends(child_ends))
            processes->reap();
        return gone(pid);
    })) << pid
        << " left as a zombie";

    std::optional<TaskId> second = start("duke3d.exe");
    ASSERT_TRUE(second);
    wait_for(*second, "mapped");
    ASSERT_TRUE(processes->activate(*second));
    pid = static_cast<pid_t>(*second);
    kill(pid, SIGTERM);
    ASSERT_TRUE(wait_until([&] { return is_zombie_or_gone(pid); }));
    posix::take_child_ends(child_ends);  // no event loop this time
    ASSERT_TRUE(start("duke3d.exe"));
    EXPECT_TRUE(gone(pid)) << pid << " left as a zombie";
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

// The server gives a closed client's window numbers out again: a number listed at the start
// may name the launch's new window by now (a program started again just after it was closed).
// By its process the window is the launch's all the same; by class alone an old number is not.
TEST_F(X11ProcessTest, AWindowNumberListedAtTheStartCanNameTheLaunchsNewWindow) {
    Display* d = display();
    Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 64, 40, 0, 0, 0);
    XClassHint hint{const_cast<char*>("setup.exe"), const_cast<char*>("Wine")};
    XSetClassHint(d, window, &hint);
    const long pid = 424242;
    Atom wm_pid = XInternAtom(d, "_NET_WM_PID", False);
    XChangeProperty(d, window, wm_pid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(d, window);
    XSync(d, False);
    ASSERT_TRUE(
        wait_until([&] { return x11::managed_windows(d).count(window) && viewable(d, window); }));
    auto launch_of = [](pid_t p) { return p == 424242; };
    const std::set<unsigned long> before{window};
    EXPECT_EQ(x11::window_of(d, launch_of, "setup.exe", before), window);
    XDeleteProperty(d, window, wm_pid);
    XSync(d, False);
    EXPECT_EQ(x11::window_of(d, launch_of, "setup.exe", before), std::nullopt);
    EXPECT_EQ(x11::window_of(d, launch_of, "setup.exe", {}), window);
    XDestroyWindow(d, window);
    XSync(d, False);
}

// The property reads take only what has the asked type and format, and the tree walk finds the
// window manager's frame; a window that is gone reads as empty.
TEST_F(X11ProcessTest, PropertiesAndTheWindowTreeAreReadSafely) {
    Display* d = display();
    const Window root = DefaultRootWindow(d);
    Window top = XCreateSimpleWindow(d, root, 0, 0, 80, 60, 0, 0, 0);
    Window inner = XCreateSimpleWindow(d, top, 0, 0, 10, 10, 0, 0, 0);
    const long four[] = {1, 2, 3, 40000};
    XChangeProperty(d, top, XInternAtom(d, "DORVANE_TEST_FOUR", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(four), 4);
    const unsigned char bytes[] = {1, 2, 3, 4};
    XChangeProperty(d, top, XInternAtom(d, "DORVANE_TEST_BYTES", False), XA_CARDINAL, 8,
                    PropModeReplace, bytes, 4);
    XStoreName(d, top, "tree test");
    XSync(d, False);

    EXPECT_EQ(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_CARDINAL),
              (std::vector<unsigned long>{1, 2, 3, 40000}));
    EXPECT_EQ(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_CARDINAL, 2),
              (std::vector<unsigned long>{1, 2}));
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_WINDOW).empty());
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_BYTES", XA_CARDINAL).empty());
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_NONE", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(d, top, XA_WM_NAME), "tree test");
    EXPECT_EQ(x11::text_property(d, top, XA_WM_CLIENT_MACHINE), std::nullopt);

    EXPECT_EQ(x11::parent_of(d, inner), top);
    EXPECT_EQ(x11::children(d, top), std::vector<Window>{inner});
    EXPECT_EQ(x11::top_level_ancestor(d, top), top);  // not framed while unmapped
    XMapWindow(d, top);
    XSync(d, False);
    // openbox puts a frame around it: the frame is the ancestor below the root for both.
    ASSERT_TRUE(wait_until([&] { return x11::parent_of(d, top) != root; }));
    Window frame = x11::top_level_ancestor(d, top);
    EXPECT_NE(frame, top);
    EXPECT_EQ(x11::parent_of(d, frame), root);
    EXPECT_EQ(x11::top_level_ancestor(d, inner), frame);
    EXPECT_EQ(x11::top_level_ancestor(d, inner, 1), inner);  // the walk gave up early

    XDestroyWindow(d, top);
    XSync(d, False);
    auto* previous = XSetErrorHandler(ignore_x_error);
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(d, top, XA_WM_NAME), std::nullopt);
    EXPECT_EQ(x11::parent_of(d, inner), std::nullopt);
    EXPECT_TRUE(x11::children(d, top).empty());
    EXPECT_EQ(x11::top_level_ancestor(d, inner), inner);
    XSync(d, False);
    XSetErrorHandler(previous);
}

TEST_F(X11ProcessTest, ProgramInheritsNoDescriptorOfTheLauncher) {
    install("duke3d.exe");
    int leaky = open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    int pipe_fds[2];
    ASSERT_EQ(pipe(pipe_fds), 0);
    std::optional<TaskId> task = start("duke3d.exe");
    close(leaky);
    close(pipe_fds[0]);
    close(pipe_fds[1]);
    ASSERT_TRUE(task);
    EXPECT_NE(start_line(*task).find("\"fds\":[0,1,2]"), std::string::npos) << start_line(*task);
}

Window active_window(Display* display) {
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW,
                       &type, &format, &count, &after, &data);
    Window w = count ? *reinterpret_cast<Window*>(data) : None;
    if (data)
        XFree(data);
    return w;
}

// A window of the test's own, focused, in the place of the launcher's.
Window open_launcher_window(Display* display) {
    Window w = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 150, 0, 0, 0);
    long pid = getpid();
    XChangeProperty(display, w, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    XSelectInput(display, w, KeyPressMask);
    XMapWindow(display, w);
    XSync(display, False);
    return w;
}

TEST_F(X11ProcessTest, ActivatedProgramIsMaximisedFocusedAndGetsTheKey) {
    Display* display = StandinTest::display();
    Window launcher = open_launcher_window(display);
    ASSERT_TRUE(wait_until([&] {
        return x11::window_of(display, [](pid_t pid) { return pid == getpid(); }, "", {})
            .has_value();
    }));
    x11::request_activation(display, launcher);
    ASSERT_TRUE(wait_until([&] { return x11::holds_focus(display, launcher); }));

    install("build.exe");
    std::optional<TaskId> task = start("build.exe");
    ASSERT_TRUE(task);
    ASSERT_TRUE(processes->activate(*task));
    ASSERT_TRUE(processes->send_keys("Y", launch::kAtOnce));
    std::vector<StandinEvent> keys = wait_for(*task, "key");
    ASSERT_FALSE(keys.empty());
    // Shift comes first, as a key of its own, with no text.
    EXPECT_NE(keys.back().line.find("\"key\":\"Y\""), std::string::npos) << keys.back().line;
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_FALSE(wait_for(*task, "maximised").empty());
    std::vector<StandinEvent> focus = wait_for(*task, "focus");
    ASSERT_FALSE(focus.empty());
    EXPECT_LE(focus[0].t, keys[0].t);
    std::vector<StandinEvent> mapped = wait_for(*task, "mapped");
    ASSERT_FALSE(mapped.empty());
    EXPECT_NE(mapped[0].line.find("\"window\":" + std::to_string(active_window(display))),
              std::string::npos);
    XEvent e;
    EXPECT_FALSE(XCheckWindowEvent(display, launcher, KeyPressMask, &e));
    XDestroyWindow(display, launcher);
    XSync(display, False);
}

TEST_F(X11ProcessTest, ActivationFailsOnlyForAProgramThatFailed) {
    install("duke3d.exe");
    setenv("DORVANE_STANDIN_EXIT", "3", 1);
    std::optional<TaskId> failing = start("duke3d.exe");
    ASSERT_TRUE(failing);
    EXPECT_FALSE(processes->activate(*failing));
    EXPECT_FALSE(processes->send_keys("Y", launch::kAtOnce));

    setenv("DORVANE_STANDIN_EXIT", "0", 1);
    std::optional<TaskId> done = start("duke3d.exe");
    ASSERT_TRUE(done);
    EXPECT_TRUE(processes->activate(*done));

    unsetenv("DORVANE_STANDIN_EXIT");
    setenv("DORVANE_STANDIN_NO_WINDOW", "1", 1);
    std::optional<TaskId> windowless = start("duke3d.exe");
    ASSERT_TRUE(windowless);
    EXPECT_TRUE(processes->activate(*windowless));
    // No window to type into: the key must not go to whatever else has the focus.
    EXPECT_FALSE(processes->send_keys("Y", launch::kAtOnce));
    EXPECT_FALSE(processes->activate(424242));
}

// A file that DOS would run: an "MZ" header, with a Windows header behind it when `windows`.
void write_dos_program(const std::string& name, bool windows) {
    std::string bytes(128, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    if (windows) {
        bytes[0x3C] = 0x40;
        bytes.replace(0x40, 4, std::string("PE\0\0", 4));
    }
    std::ofstream(name, std::ios::binary) << bytes;
}

TEST_F(X11ProcessTest, DosAndWindowsProgramsRunThroughTheirHelpers) {
    fs::path bin = folder.path() / "bin";
    fs::create_directory(bin);
    write_dos_program("DUKE3D.EXE", false);
    write_dos_program("build.exe", true);
    // Only the folder of the stand-ins on the PATH: a real dosbox or wine must not run here.
    setenv("PATH", bin.string().c_str(), 1);
    EXPECT_FALSE(start("duke3d.exe -map e1l8.map"));  // neither helper there yet
    EXPECT_FALSE(start("Build.exe e1l8.map"));

    install("dosbox", bin);
    install("wine", bin);
    std::string here = fs::current_path().string();

    std::optional<TaskId> game = start("duke3d.exe -map e1l8.map");
    ASSERT_TRUE(game) << processes->last_error();
    EXPECT_NE(
        start_line(*game).find(json_array({(bin / "dosbox").string(), "-fullscreen", "-noautoexec",
                                           "-c", "mount c \"" + here + "\"", "-c", "c:", "-c",
                                           "DUKE3D.EXE -map e1l8.map", "-c", "exit"})),
        std::string::npos)
        << start_line(*game);
    EXPECT_TRUE(processes->activate(*game));
    EXPECT_FALSE(wait_for(*game, "maximised").empty());

    std::optional<TaskId> editor = start("Build.exe e1l8.map");
    ASSERT_TRUE(editor);
    EXPECT_NE(start_line(*editor).find(
                  json_array({(bin / "wine").string(), here + "/build.exe", "e1l8.map"})),
              std::string::npos)
        << start_line(*editor);

    // DOSBox's own shell would read these as redirection.
    EXPECT_FALSE(start("duke3d.exe -map a>b.map"));
    EXPECT_FALSE(start("duke3d.exe -map a|b.map"));
}

// The launch contract's cases against the X11 services and the stand-in, with a window of the
// test's own in the place of the launcher's, focused at the start.
class X11Launch : public testing::StandinTest, public testing::LaunchRig {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        processes = std::make_unique<x11::X11Processes>(display());
        launcher = open_launcher_window(display());
        ASSERT_TRUE(wait_until([&] { return active_window(display()) == launcher; }) ||
                    (x11::request_activation(display(), launcher),
                     wait_until([&] { return x11::holds_focus(display(), launcher); })));
    }
    void TearDown() override {
        XDestroyWindow(display(), launcher);
        XSync(display(), False);
        for (const char* knob : kKnobs)
            unsetenv(knob);
        StandinTest::TearDown();
    }

    void install(const std::string& name, Behaviour behaviour) override {
        StandinTest::install(name);
        behaviours[name] = behaviour;
    }
    std::optional<TaskId> start(const std::string& command_line) override {
        std::string program = command_line.substr(0, command_line.find(' '));
        auto behaviour = behaviours.find(program);
        for (const char* knob : kKnobs)
            unsetenv(knob);
        if (behaviour != behaviours.end()) {
            switch (behaviour->second) {
                case Behaviour::Window:
                    break;
                case Behaviour::SlowWindow:
                    setenv("DORVANE_STANDIN_DELAY", "1.5", 1);
                    break;
                case Behaviour::NoWindow:
                    setenv("DORVANE_STANDIN_NO_WINDOW", "1", 1);
                    break;
                case Behaviour::FailsAtOnce:
                    setenv("DORVANE_STANDIN_EXIT", "3", 1);
                    break;
                case Behaviour::FailsLater:
                    setenv("DORVANE_STANDIN_DELAY", "1.5", 1);
                    setenv("DORVANE_STANDIN_EXIT", "3", 1);
                    break;
                case Behaviour::EndsWithoutWindow:
                    setenv("DORVANE_STANDIN_EXIT", "0", 1);
                    break;
            }
        }
        std::optional<TaskId> task = processes->start_program(command_line);
        if (task)
            end_later(*task);
        return task;
    }
    bool activate(TaskId task) override { return processes->activate(task); }
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override {
        return processes->send_keys(keys, shown_for);
    }
    void on_late_failure(std::function<void()> report) override { late = std::move(report); }
    // What the FLTK backend's timer does between events.
    void run_events(double seconds) override {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (processes->pending() &&
                processes->follow_up() == x11::X11Processes::FollowUp::Failed && late)
                late();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    std::string keys_of(TaskId task, std::size_t count) override {
        std::string text;
        wait_until([&] {
            text.clear();
            for (const StandinEvent& e : events(task, "key"))
                text += field(e.line, "key");
            return text.size() >= count;
        });
        return text;
    }
    bool in_front(TaskId task) override {
        return wait_until([&] {
            std::vector<StandinEvent> mapped = events(task, "mapped");
            Window active = active_window(display());
            return !mapped.empty() && active != None &&
                   mapped[0].line.find("\"window\":" + std::to_string(active)) != std::string::npos;
        });
    }
    bool launcher_got_keys() override {
        XEvent e;
        return XCheckWindowEvent(display(), launcher, KeyPressMask, &e);
    }
    std::chrono::milliseconds keys_after_shown(TaskId task) override {
        std::vector<StandinEvent> keys = wait_for(task, "key");
        std::vector<StandinEvent> mapped = events(task, "mapped");
        if (keys.empty() || mapped.empty())
            return std::chrono::milliseconds::min();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::duration<double>(keys[0].t - mapped[0].t));
    }

    // The text of a string field of a stand-in's line.
    static std::string field(const std::string& line, const std::string& name) {
        std::string key = "\"" + name + "\":\"";
        std::size_t at = line.find(key);
        if (at == std::string::npos)
            return "";
        at += key.size();
        return line.substr(at, line.find('"', at) - at);
    }

    static constexpr const char* kKnobs[] = {"DORVANE_STANDIN_DELAY", "DORVANE_STANDIN_NO_WINDOW",
                                             "DORVANE_STANDIN_EXIT", "DORVANE_STANDIN_DETACH"};
    std::unique_ptr<x11::X11Processes> processes;
    std::map<std::string, Behaviour> behaviours;
    std::function<void()> late;
    Window launcher = None;
};

DORVANE_LAUNCH_CASES(X11Launch)

// Wine hands the program to a process outside the started one's tree and session: its window
// is still found, by the launch's marker in the environment.
TEST_F(X11Launch, WindowOfAProcessThatLeftTheTreeAndTheSessionIsFound) {
    install("duke3d.exe", Behaviour::Window);
    setenv("DORVANE_STANDIN_DETACH", "1", 1);
    std::optional<TaskId> task = processes->start_program("duke3d.exe");
    unsetenv("DORVANE_STANDIN_DETACH");
    ASSERT_TRUE(task);
    int second = 0;
    ASSERT_TRUE(wait_until([&] {
        for (const StandinEvent& e : read_standin_log("standin.log")) {
            if (e.event == "detached")
                second = e.pid;
        }
        return second != 0;
    }));
    end_later(second);
    EXPECT_TRUE(processes->activate(*task));
    EXPECT_TRUE(in_front(second));
    EXPECT_FALSE(wait_for(second, "maximised").empty());
    EXPECT_TRUE(processes->send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(keys_of(second, 1), "Y");
}

// A window that was there before the start is not the program's, even of the same class and
// marker-less; a window of fixed size is not asked to be maximised.
TEST_F(X11Launch, OlderWindowsAreNotTheProgramsAndFixedSizeIsLeftAlone) {
    install("setup.exe", Behaviour::NoWindow);
    Window older =
        XCreateSimpleWindow(display(), DefaultRootWindow(display()), 0, 0, 64, 40, 0, 0, 0);
    XClassHint hint{const_cast<char*>("setup.exe"), const_cast<char*>("Wine")};
    XSetClassHint(display(), older, &hint);
    XSizeHints size{};
    size.flags = PMinSize | PMaxSize;
    size.min_width = size.max_width = 64;
    size.min_height = size.max_height = 40;
    XSetWMNormalHints(display(), older, &size);
    XMapWindow(display(), older);
    XSync(display(), False);
    ASSERT_TRUE(wait_until([&] { return x11::managed_windows(display()).count(older) > 0; }));
    EXPECT_TRUE(x11::fixed_size(display(), older));
    std::optional<TaskId> task = start("setup.exe");
    ASSERT_TRUE(task);
    EXPECT_TRUE(activate(*task));
    EXPECT_TRUE(processes->pending());
    EXPECT_FALSE(send_keys("Y", launch::kAtOnce));

    // Shown after the start, it is taken by its class (no _NET_WM_PID): the way such a window
    // is found; its fixed size is kept.
    Window late_window =
        XCreateSimpleWindow(display(), DefaultRootWindow(display()), 0, 0, 64, 40, 0, 0, 0);
    XSetClassHint(display(), late_window, &hint);
    XSetWMNormalHints(display(), late_window, &size);
    XMapWindow(display(), late_window);
    XSync(display(), False);
    EXPECT_TRUE(
        wait_until([&] { return processes->follow_up() == x11::X11Processes::FollowUp::Shown; }));
    EXPECT_TRUE(wait_until([&] { return active_window(display()) == late_window; }));
    XWindowAttributes attributes{};
    XGetWindowAttributes(display(), late_window, &attributes);
    EXPECT_EQ(attributes.width, 64);
    XDestroyWindow(display(), older);
    XDestroyWindow(display(), late_window);
    XSync(display(), False);
}

// A window manager lists a window before it maps it; one that starts minimised is listed and
// never mapped until it is brought up. It is the program's window all the same, and comes up.
TEST_F(X11Launch, WindowThatStartsMinimisedIsFoundAndComesUp) {
    install("setup.exe", Behaviour::NoWindow);
    std::optional<TaskId> task = start("setup.exe");
    ASSERT_TRUE(task);
    EXPECT_TRUE(activate(*task));
    EXPECT_TRUE(processes->pending());

    Window minimised =
        XCreateSimpleWindow(display(), DefaultRootWindow(display()), 0, 0, 64, 40, 0, 0, 0);
    XClassHint hint{const_cast<char*>("setup.exe"), const_cast<char*>("Wine")};
    XSetClassHint(display(), minimised, &hint);
    XWMHints hints{};
    hints.flags = StateHint;
    hints.initial_state = IconicState;
    XSetWMHints(display(), minimised, &hints);
    XMapWindow(display(), minimised);
    XSync(display(), False);
    EXPECT_TRUE(
        wait_until([&] { return processes->follow_up() == x11::X11Processes::FollowUp::Shown; }));
    EXPECT_TRUE(wait_until(
        [&] { return viewable(display(), minimised) && active_window(display()) == minimised; }));
    XDestroyWindow(display(), minimised);
    XSync(display(), False);
}

}  // namespace
}  // namespace dorvane
