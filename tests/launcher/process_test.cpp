// SPDX-License-Identifier: MIT
// The X11 launch driver against the stand-in program, in a private X server with openbox: the
// launch contract's cases through the engine, and the driver's own calls (how a program starts,
// which window is its own, how its end is reaped).
// Before any Xlib header, whose macros (None, Status) clash with names of the platform seam.
#include "platform/x11/launch_driver.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "launch_cases.h"
#include "platform/x11/ewmh.h"
#include "platform/x11/properties.h"
#include "standin_log.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;
using testing::Behaviour;
using testing::json_array;
using testing::StandinEvent;
using testing::wait_until;
using Lines = std::vector<std::string>;

// Per test a fresh folder that is the current folder, with the stand-in's log in it, and an end
// (by their ids) to every stand-in the test noted.
class StandinTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { display_ = XOpenDisplay(nullptr); }
    static void TearDownTestSuite() {
        if (display_)
            XCloseDisplay(display_);
        display_ = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(display_, nullptr) << "no X display";
        old_cwd_ = fs::current_path();
        fs::current_path(folder.path());
        log_ = (folder.path() / "standin.log").string();
        setenv("DORVANE_STANDIN_LOG", log_.c_str(), 1);
        setenv("DORVANE_STANDIN_TIMEOUT", "60", 1);
        old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    }
    void TearDown() override {
        for (TaskId pid : started_)
            kill(static_cast<pid_t>(pid), SIGTERM);
        fs::current_path(old_cwd_);
        setenv("PATH", old_path_.c_str(), 1);
    }

    void install(const std::string& name, const fs::path& dir = ".") {
        fs::create_symlink(DORVANE_STANDIN_PATH, dir / name);
    }
    void end_later(TaskId pid) { started_.push_back(pid); }
    std::vector<StandinEvent> events(TaskId pid, const std::string& kind) const {
        return testing::events_of(testing::read_standin_log(log_), static_cast<int>(pid), kind);
    }
    // Once there is one (bounded wait).
    std::vector<StandinEvent> wait_for(TaskId pid, const std::string& kind) {
        std::vector<StandinEvent> found;
        wait_until([&] { return !(found = events(pid, kind)).empty(); });
        return found;
    }
    // The line of its start, with its arguments, folder and descriptors.
    std::string start_line(TaskId pid) {
        std::vector<StandinEvent> found = wait_for(pid, "start");
        return found.empty() ? "" : found[0].line;
    }
    static Display* display() { return display_; }

    testing::TempFolder folder;

  private:
    static inline Display* display_ = nullptr;
    fs::path old_cwd_;
    std::string old_path_, log_;
    std::vector<TaskId> started_;
};

// The driver without the FLTK loop: the test's own loop follows launches up.
struct TestDriver : x11::X11LaunchDriver {
    using X11LaunchDriver::X11LaunchDriver;
    void follow_up_soon() override {}
    void run_as_event(const std::function<void()>& report) override { report(); }
};

Window active_window(Display* display) {
    std::vector<unsigned long> active =
        x11::cardinals(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW, 1);
    return active.empty() ? None : active[0];
}

bool viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// A window of the test's own, of class `name` ("Wine"'s programs have their file's name), shown.
Window show_window(Display* d, const char* name, bool fixed, bool iconic) {
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 64, 40, 0, 0, 0);
    XClassHint hint{const_cast<char*>(name), const_cast<char*>("Wine")};
    XSetClassHint(d, w, &hint);
    XSizeHints size{};
    size.flags = fixed ? PMinSize | PMaxSize : 0;
    size.min_width = size.max_width = 64;
    size.min_height = size.max_height = 40;
    XSetWMNormalHints(d, w, &size);
    XWMHints hints{};
    hints.flags = StateHint;
    hints.initial_state = iconic ? IconicState : NormalState;
    XSetWMHints(d, w, &hints);
    XSelectInput(d, w, KeyPressMask);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

// With a window of the test's own in the place of the launcher's, focused at the start.
class X11Launch : public StandinTest, public testing::LaunchRig {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        launcher = show_window(display(), "dorvane", false, false);
        ASSERT_TRUE(wait_until([&] { return viewable(display(), launcher); }));
        x11::request_activation(display(), launcher);
        ASSERT_TRUE(wait_until([&] { return x11::holds_focus(display(), launcher); }));
    }
    void TearDown() override {
        if (ctrl.joinable())
            ctrl.join();
        XDestroyWindow(display(), launcher);
        XSync(display(), False);
        for (const char* knob : kKnobs)
            unsetenv(knob);
        StandinTest::TearDown();
    }

    launch::LaunchEngine& engine() override { return engine_; }
    Clock::time_point now() override { return Clock::now(); }
    void install(const std::string& name, Behaviour behaviour) override {
        StandinTest::install(name);
        behaviours[name] = behaviour;
    }
    std::optional<TaskId> start_program(const std::string& command_line) override {
        auto behaviour = behaviours.find(command_line.substr(0, command_line.find(' ')));
        for (const char* knob : kKnobs)
            unsetenv(knob);
        static const std::map<Behaviour, std::vector<std::pair<const char*, const char*>>> knobs{
            {Behaviour::Window, {}},
            {Behaviour::SlowWindow, {{"DORVANE_STANDIN_DELAY", "1.5"}}},
            {Behaviour::NoWindow, {{"DORVANE_STANDIN_NO_WINDOW", "1"}}},
            {Behaviour::FailsAtOnce, {{"DORVANE_STANDIN_EXIT", "3"}}},
            {Behaviour::FailsLater,
             {{"DORVANE_STANDIN_DELAY", "1.5"}, {"DORVANE_STANDIN_EXIT", "3"}}},
            {Behaviour::EndsWithoutWindow, {{"DORVANE_STANDIN_EXIT", "0"}}}};
        if (behaviour != behaviours.end()) {
            for (auto [name, value] : knobs.at(behaviour->second))
                setenv(name, value, 1);
        }
        std::optional<TaskId> task = engine_.start_program(command_line);
        if (task)
            end_later(*task);
        return task;
    }
    // What the FLTK backend's timer does between events.
    void run_events(double seconds) override {
        auto end = Clock::now() + std::chrono::duration<double>(seconds);
        while (Clock::now() < end) {
            if (engine_.pending())
                engine_.follow_up();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    std::string keys_of(TaskId task, std::size_t count) override {
        std::string text;
        wait_until([&] {
            text.clear();
            for (const StandinEvent& e : events(task, "key")) {
                std::size_t at = e.line.find("\"key\":\"");
                if (at != std::string::npos)
                    text += e.line.substr(at + 7, e.line.find('"', at + 7) - at - 7);
            }
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
    bool stray_keys() override {
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
    // Pressed here, let go from a connection of its own while the engine waits.
    void hold_ctrl(std::chrono::milliseconds time) override {
        const unsigned code = XKeysymToKeycode(display(), XK_Control_L);
        XTestFakeKeyEvent(display(), code, True, 0);
        XSync(display(), False);
        ctrl = std::thread([time, code] {
            std::this_thread::sleep_for(time);
            Display* own = XOpenDisplay(nullptr);
            XTestFakeKeyEvent(own, code, False, 0);
            XCloseDisplay(own);
        });
    }

    static constexpr const char* kKnobs[] = {"DORVANE_STANDIN_DELAY", "DORVANE_STANDIN_NO_WINDOW",
                                             "DORVANE_STANDIN_EXIT", "DORVANE_STANDIN_DETACH"};
    TestDriver driver{display()};
    launch::LaunchEngine engine_{driver, {.window_wait = std::chrono::seconds(5)}};
    std::map<std::string, Behaviour> behaviours;
    Window launcher = None;
    std::thread ctrl;
};

DORVANE_LAUNCH_CASES(X11Launch)

// Exactly its arguments, in the current folder, with no descriptor of the launcher's; names that
// a shell would take apart arrive as plain bytes and run nothing; the program in any letter case.
TEST_F(X11Launch, ProgramGetsItsArgumentsExactlyAndNothingElse) {
    install("Duke3D.exe", Behaviour::Window);
    int leaky = open("/dev/null", O_RDONLY);  // deliberately without O_CLOEXEC
    for (const std::string name : {"my  map.map", "$(touch${IFS}x);.map", "a\"b.map",
                                   "`touch${IFS}y`.map", "'\\\\'&&touch${IFS}v", "\xe9t\xe9.map"}) {
        std::optional<TaskId> task = start_program("duke3d.exe -map " + name);
        ASSERT_TRUE(task) << driver.last_error();
        std::string line = start_line(*task);
        Lines args{"duke3d.exe", "-map"};
        std::istringstream words(name);
        for (std::string word; words >> word;)
            args.push_back(word);
        EXPECT_NE(line.find("\"argv\":" + json_array(args)), std::string::npos) << line;
        std::string cwd = json_array({fs::current_path().string()});
        EXPECT_NE(line.find("\"cwd\":" + cwd.substr(1, cwd.size() - 2)), std::string::npos);
        EXPECT_NE(line.find("\"fds\":[0,1,2]"), std::string::npos) << line;
    }
    close(leaky);
    for (const char* made : {"x", "y", "v", "touch"})
        EXPECT_FALSE(fs::exists(made)) << made;
}

TEST_F(X11Launch, FailureToStartIsKnownBeforeTheCallReturns) {
    folder.write("setup.exe", "#!/bin/sh\ntouch ran\n");  // no execute bit
    folder.write("build.exe", "garbage, not a program");
    fs::permissions("build.exe", fs::perms::owner_all);
    fs::create_directory("duke3d.exe");
    for (const char* line :
         {"duke3d.exe", "setup.exe -map a.map", "build.exe", "../duke3d.exe", "", "   "})
        EXPECT_FALSE(start_program(line)) << line;
    EXPECT_FALSE(fs::exists("ran"));
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

TEST_F(X11Launch, DosAndWindowsProgramsRunThroughTheirHelpers) {
    fs::path bin = folder.path() / "bin";
    fs::create_directory(bin);
    write_dos_program("DUKE3D.EXE", false);
    write_dos_program("build.exe", true);
    // Only the folder of the stand-ins on the PATH: a real dosbox or wine must not run here.
    setenv("PATH", bin.string().c_str(), 1);
    EXPECT_FALSE(start_program("duke3d.exe -map e1l8.map"));  // neither helper there yet
    EXPECT_FALSE(start_program("Build.exe e1l8.map"));
    StandinTest::install("dosbox", bin);
    StandinTest::install("wine", bin);
    std::string here = fs::current_path().string();
    std::optional<TaskId> game = start_program("duke3d.exe -map e1l8.map");
    ASSERT_TRUE(game) << driver.last_error();
    EXPECT_NE(
        start_line(*game).find(json_array({(bin / "dosbox").string(), "-fullscreen", "-noautoexec",
                                           "-c", "mount c \"" + here + "\"", "-c", "c:", "-c",
                                           "DUKE3D.EXE -map e1l8.map", "-c", "exit"})),
        std::string::npos)
        << start_line(*game);
    EXPECT_TRUE(engine_.activate(*game));
    EXPECT_FALSE(wait_for(*game, "maximised").empty());
    std::optional<TaskId> editor = start_program("Build.exe e1l8.map");
    ASSERT_TRUE(editor);
    EXPECT_NE(start_line(*editor).find(
                  json_array({(bin / "wine").string(), here + "/build.exe", "e1l8.map"})),
              std::string::npos)
        << start_line(*editor);
}

bool zombie_or_gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return !std::getline(stat, line) || line.substr(line.rfind(')') + 2, 1) == "Z";
}

// Nothing waits for the programs in the background: the word of their end on the pipe, taken as
// the backend's event loop takes it, reaps them, during their activation or long after it; and
// without that word, the next start does.
TEST_F(X11Launch, FinishedProgramsLeaveNoZombies) {
    const int child_ends = posix::watch_child_ends();
    ASSERT_GE(child_ends, 0);
    install("duke3d.exe", Behaviour::Window);
    std::vector<pid_t> pids;
    for (int i = 0; i < 4; ++i) {
        setenv("DORVANE_STANDIN_EXIT", i < 2 ? "0" : "3", 1);
        pids.push_back(static_cast<pid_t>(*engine_.start_program("duke3d.exe")));
    }
    unsetenv("DORVANE_STANDIN_EXIT");
    std::optional<TaskId> shown = start_program("duke3d.exe");
    ASSERT_TRUE(shown && engine_.activate(*shown));
    pids.push_back(static_cast<pid_t>(*shown));
    kill(pids.back(), SIGTERM);
    for (pid_t pid : pids) {
        EXPECT_TRUE(wait_until([&] {
            if (posix::take_child_ends(child_ends))
                driver.reap();
            return !fs::exists("/proc/" + std::to_string(pid));
        })) << pid
            << " left as a zombie";
    }
    std::optional<TaskId> last = start_program("duke3d.exe");
    ASSERT_TRUE(last && engine_.activate(*last));
    kill(static_cast<pid_t>(*last), SIGTERM);
    ASSERT_TRUE(wait_until([&] { return zombie_or_gone(static_cast<pid_t>(*last)); }));
    posix::take_child_ends(child_ends);  // no event loop this time
    ASSERT_TRUE(start_program("duke3d.exe"));
    EXPECT_FALSE(fs::exists("/proc/" + std::to_string(*last))) << "left as a zombie";
}

// Wine hands the program to a process outside the started one's tree and session: its window
// is still found, by the launch's marker in the environment.
TEST_F(X11Launch, WindowOfAProcessThatLeftTheTreeAndTheSessionIsFound) {
    install("duke3d.exe", Behaviour::Window);
    setenv("DORVANE_STANDIN_DETACH", "1", 1);
    std::optional<TaskId> task = engine_.start_program("duke3d.exe");
    unsetenv("DORVANE_STANDIN_DETACH");
    ASSERT_TRUE(task);
    int second = 0;
    ASSERT_TRUE(wait_until([&] {
        for (const StandinEvent& e : testing::read_standin_log("standin.log")) {
            if (e.event == "detached")
                second = e.pid;
        }
        return second != 0;
    }));
    end_later(second);
    EXPECT_TRUE(engine_.activate(*task));
    EXPECT_TRUE(in_front(second));
    EXPECT_FALSE(wait_for(second, "maximised").empty());
    EXPECT_TRUE(engine_.send_keys("Y", launch::kAtOnce));
    EXPECT_EQ(keys_of(second, 1), "Y");
}

// A window that was there before the start is not the program's, even of its class; one shown
// after the start is taken by its class (no _NET_WM_PID) and keeps its fixed size, and one that
// starts minimised comes up. The server gives a closed client's window numbers out again: by its
// process, a number listed at the start is the launch's all the same.
TEST_F(X11Launch, WhichWindowIsTheProgramsOwn) {
    install("setup.exe", Behaviour::NoWindow);
    Window older = show_window(display(), "setup.exe", true, false);
    ASSERT_TRUE(wait_until([&] { return x11::managed_windows(display()).count(older) > 0; }));
    for (bool iconic : {false, true}) {
        std::optional<TaskId> task = start_program("setup.exe");
        ASSERT_TRUE(task && engine_.activate(*task));
        EXPECT_TRUE(engine_.pending()) << "took a window older than the start";
        Window late = show_window(display(), "setup.exe", !iconic, iconic);
        EXPECT_TRUE(wait_until([&] { return !engine_.follow_up(); }));
        EXPECT_TRUE(wait_until(
            [&] { return viewable(display(), late) && active_window(display()) == late; }));
        XWindowAttributes attributes{};
        XGetWindowAttributes(display(), late, &attributes);
        EXPECT_TRUE(iconic || attributes.width == 64) << "a fixed size was not kept";
        XDestroyWindow(display(), late);
    }
    const long pid = 424242;
    XChangeProperty(display(), older, XInternAtom(display(), "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XSync(display(), False);
    auto launch_of = [](pid_t p) { return p == 424242; };
    EXPECT_EQ(x11::window_of(display(), launch_of, "setup.exe", {older}), older);
    XDestroyWindow(display(), older);
    XSync(display(), False);
}

// Another client's property of the wrong type or format, or a window gone, reads as nothing.
TEST_F(X11Launch, PropertiesAreReadSafely) {
    Display* d = display();
    Window top = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 80, 60, 0, 0, 0);
    const long four[] = {1, 2, 3, 40000};
    XChangeProperty(d, top, XInternAtom(d, "DORVANE_TEST_FOUR", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(four), 4);
    XChangeProperty(d, top, XInternAtom(d, "DORVANE_TEST_BYTES", False), XA_CARDINAL, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>("abcd"), 4);
    XStoreName(d, top, "tree test");
    XSync(d, False);
    EXPECT_EQ(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_CARDINAL, 2),
              (std::vector<unsigned long>{1, 2}));
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_WINDOW).empty());
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_BYTES", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(d, top, XA_WM_NAME), "tree test");
    EXPECT_EQ(x11::text_property(d, top, XA_WM_CLIENT_MACHINE), std::nullopt);
    XDestroyWindow(d, top);
    auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    EXPECT_TRUE(x11::cardinals(d, top, "DORVANE_TEST_FOUR", XA_CARDINAL).empty());
    EXPECT_EQ(x11::text_property(d, top, XA_WM_NAME), std::nullopt);
    XSync(d, False);
    XSetErrorHandler(previous);
}

}  // namespace
}  // namespace dorvane
