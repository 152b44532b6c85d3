// SPDX-License-Identifier: MIT
// The launch engine's driver for Linux with X11 (platform/launch_engine.h), for a backend that
// owns the X connection. What is particular to X11:
//
// start_program: starts the program as platform/posix/processes.h describes (in the current
//   folder, in any letter case, through dosbox or wine where it needs them, without a shell, in
//   a session of its own and with a marker of its own in its environment). The task is the
//   process id. Each launch is announced to the desktop (startup_notice.h) until its window
//   is found or it failed, and its window is raised with the time of the user's input that asked
//   for the start (user_time()).
// find_window: the first window the window manager lists, mapped on the screen (or iconic), that
//   belongs to the launch by its _NET_WM_PID (platform/posix/owner.h) or, without one, by its
//   class when it was not there at the start (ewmh.h). Through wine it must also be of the class
//   Wine gives the program's windows (its file's name), not one of Wine's own.
// maximise, raise: through the window manager (a window of fixed size is left as it is: DOSBox
//   is started in its full screen instead).
// takes_keys: DOSBox's window shows before its DOS program runs, and keys typed meanwhile are
//   lost: a DOS program takes keys once DOSBox's title names it as running ("Program: BUILD")
//   and its screen has switched (0.3 s). A DOS file name longer than 8.3, which DOSBox would
//   shorten, is not waited for.
// type_keys: through XTest.
// reap: looks without waiting whether the programs started have ended and reaps those that
//   have; the backend calls it when posix::watch_child_ends() says a child ended, so that none
//   is left a zombie while nobody looks.
//
// The backend completes the driver with its event loop (follow_up_soon, run_as_event). Every call
// runs on the caller's thread and reads no event from the connection. This header leaves Xlib
// out, since its macros (None, Status) clash with names of the platform seam.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/launch_engine.h"
#include "platform/posix/processes.h"
#include "platform/x11/startup_notice.h"

typedef struct _XDisplay Display;

namespace dorvane::x11 {

class X11LaunchDriver : public launch::LaunchDriver {
  public:
    explicit X11LaunchDriver(Display* display) : display_(display) {}

    std::optional<TaskId> start_program(const std::string& command_line) override;
    launch::TaskState state(TaskId task) override;
    void forget(TaskId task) override;
    std::optional<launch::WindowId> find_window(TaskId task) override;
    void maximise(launch::WindowId window) override;
    void raise(launch::WindowId window) override;
    bool holds_focus(launch::WindowId window) override;
    bool takes_keys(TaskId task, launch::WindowId window) override;
    bool modifiers_held() override;
    bool type_keys(launch::WindowId window, const std::string& keys) override;
    Clock::time_point now() override { return Clock::now(); }
    void sleep(std::chrono::milliseconds time) override;
    // The desktop's wait for the launch ends.
    void launch_over(TaskId task, bool shown) override;

    // Reaps every started program that has ended, without waiting.
    void reap();

    // Why the last start failed, in words (for diagnostics, never shown to the user).
    const std::string& last_error() const { return last_error_; }

  protected:
    // The X time of the click or key that asked for the start being made (0: none known).
    virtual unsigned long user_time() { return 0; }

  private:
    struct Launch {
        posix::StartedProgram program;   // through wine, only windows of its class are its own
        std::set<unsigned long> before;  // the windows there at its start
        std::optional<Clock::time_point> running_seen;  // when DOSBox's title first named it
        bool took_keys_at_once = true;
        unsigned long user_time = 0;
        StartupNotice notice;
        std::optional<unsigned long> window;  // its window, once found
    };

    Display* display_;
    std::map<TaskId, Launch> tasks_;
    unsigned launches_ = 0;
    std::string last_error_;
};

}  // namespace dorvane::x11
