// SPDX-License-Identifier: MIT
// Process services for Linux with X11: starting the game's programs, bringing them to the front
// and typing into them, for a backend that owns the X connection. They keep the launch contract
// of platform/launch.h; what is particular to X11:
//
// start_program: starts the program as platform/posix/processes.h describes (in the current
//   folder, in any letter case, through dosbox or wine where it needs them, without a shell, in
//   a session of its own and with a marker of its own in its environment). The task identifier
//   is the process id. Each launch is announced to the desktop (startup_notice.h) until its
//   window is found or it failed; its activation carries the user's time of the start.
// activate: the program's window is the first window the window manager lists, mapped on the
//   screen (or iconic), that belongs to the launch by its _NET_WM_PID (platform/posix/owner.h)
//   or, without one, by its class when it was not there at the start (ewmh.h). Through wine it
//   must also be of the class Wine gives the program's windows (its file's name), not one of Wine's
//   own. It is maximised through the window manager (a window of fixed size is left as it is:
//   DOSBox is started in its full screen instead) and activated. While an activation goes on after
//   activate() returned, the backend calls follow_up() from its event loop (every few tens of
//   milliseconds) until pending() is false.
// reap: every call looks without waiting whether the programs started have ended and reaps
//   those that have; the backend calls reap() when posix::watch_child_ends() says a child
//   ended, so that none is left a zombie while nobody calls.
// send_keys: types through XTest once the window holds the focus and the user has let go of
//   modifier keys (the shortcut that started the command may still be held). DOSBox's window
//   shows before its DOS program runs, and keys typed meanwhile are lost: for a DOS program the
//   keys wait (within the same bound) until DOSBox's title names the program as running
//   ("Program: BUILD") and has switched its screen (0.3 s). A DOS file name longer than 8.3,
//   which DOSBox would shorten, is not waited for.
//
// Every call runs on the caller's thread and reads no event from the connection. This header
// leaves Xlib out, since its macros (None, Status) clash with names of the platform seam.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/launch.h"
#include "platform/posix/processes.h"
#include "platform/services.h"
#include "platform/x11/startup_notice.h"

typedef struct _XDisplay Display;

namespace dorvane::x11 {

struct ProcessTimings {
    std::chrono::milliseconds activate_hold = launch::kActivateHold;
    std::chrono::milliseconds window_wait = launch::kWindowWait;
    std::chrono::milliseconds keys_wait = launch::kKeysWait;
    std::chrono::milliseconds poll = launch::kPoll;
};

class X11Processes {
  public:
    explicit X11Processes(Display* display, ProcessTimings timings = {});

    // user_time: the X time of the click or key that asked for the start (0: none known).
    std::optional<TaskId> start_program(const std::string& command_line,
                                        unsigned long user_time = 0);
    bool activate(TaskId task);
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for);

    // Whether an activation goes on: its program runs and its window has not shown yet.
    bool pending() const { return pending_.has_value(); }
    enum class FollowUp { Waiting, Shown, Failed, Over };
    // Looks once for the pending activation's window and brings it to the front when it is
    // there. Failed: the program ended with an error without showing a window (to be reported
    // to the user); Over: it ended otherwise, or its window did not show in time.
    FollowUp follow_up();

    // Reaps every started program that has ended, without waiting.
    void reap();

    // Why the last start_program failed, in words (for diagnostics, never shown to the user).
    const std::string& last_error() const { return last_error_; }

  private:
    using Clock = std::chrono::steady_clock;
    struct Launch {
        posix::StartedProgram program;   // through wine, only windows of its class are its own
        std::set<unsigned long> before;  // the windows there at its start
        unsigned long user_time = 0;
        StartupNotice notice;
    };

    // Looks once for the launch's window; brings it to the front and makes it the target.
    bool bring_window(Launch& launch);

    Display* display_;
    ProcessTimings timings_;
    std::map<TaskId, Launch> tasks_;
    std::optional<TaskId> pending_;
    bool report_late_ = true;   // whether a failure of the pending activation is still to be told
    unsigned long target_ = 0;  // the X window keys go to; 0 for none
    unsigned long target_time_ = 0;  // the user's time of its launch
    Clock::time_point shown_at_;     // when the target was first seen on the screen
    std::string target_title_;       // the title it shows once it takes keys; empty: any
    unsigned launches_ = 0;
    std::string last_error_;
};

}  // namespace dorvane::x11
