// SPDX-License-Identifier: MIT
// Process services for Linux with X11: starting the game's programs, bringing them to the front
// and typing into them, for a backend that owns the X connection.
//
// start_program: splits the command line at blanks, finds the program in the current folder in
//   any letter case, runs a DOS program in dosbox and a Windows program through wine when those
//   are on the PATH, and starts it without a shell. nullopt when it cannot be found or executed;
//   that is known before the call returns. The task identifier is the process id.
// activate: waits (bounded) for a top-level window of the process or of a process below it,
//   asks the window manager to maximise and activate it, and remembers it as the window keys go
//   to. What counts as failure: only a program that ended with an error (or by a signal)
//   before it showed a window. A program that is running is never reported as failed, even
//   when no window showed within the bound; one that ended successfully before showing a
//   window did run, and is not reported either.
// send_keys: waits (bounded) until the window activated last holds the focus, and until the
//   user lets go of modifier keys, then types the keys through XTest. False when no window was
//   activated, it never got the focus, or the keys cannot be typed: keys must not land in the
//   launcher's own window.
//
// Every call runs on the caller's thread and reads no event from the connection. This header
// leaves Xlib out, since its macros (None, Status) clash with names of the platform seam.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "platform/services.h"
#include "platform/x11/spawn.h"

typedef struct _XDisplay Display;

namespace dorvane::x11 {

struct ProcessTimings {
    std::chrono::milliseconds window_wait{10000};  // dosbox and wine can take seconds
    std::chrono::milliseconds focus_wait{3000};
    std::chrono::milliseconds poll{10};
};

class X11Processes {
  public:
    explicit X11Processes(Display* display, ProcessTimings timings = {});

    std::optional<TaskId> start_program(const std::string& command_line);
    bool activate(TaskId task);
    bool send_keys(const std::string& keys);

    // Why the last start_program failed, in words (for diagnostics, never shown to the user).
    const std::string& last_error() const { return last_error_; }

  private:
    Display* display_;
    ProcessTimings timings_;
    std::map<TaskId, Child> tasks_;
    unsigned long target_ = 0;  // the X window keys go to; 0 for none
    std::string last_error_;
};

}  // namespace dorvane::x11
