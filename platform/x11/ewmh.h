// SPDX-License-Identifier: MIT
// The window manager's side of starting a program: finding the top-level window a process
// owns, asking for it to be maximised and activated, and telling whether it holds the focus.
// Requests go through the EWMH client messages, so that the window manager does the moving and
// keeps its own bookkeeping; without a window manager the window is raised and focused
// directly. Nothing here reads events: the caller's toolkit keeps its event queue.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <optional>
#include <set>

namespace dorvane::x11 {

// `pid` and every process below it (a wrapper such as dosbox or wine may leave the window to a
// child).
std::set<pid_t> process_family(pid_t pid);

// The first managed top-level window whose _NET_WM_PID is one of `pids`.
std::optional<Window> window_of(Display* display, const std::set<pid_t>& pids);

void request_maximise(Display* display, Window window);
void request_activation(Display* display, Window window);

// Whether the keyboard focus is on `window` or within it. False once the window is gone.
bool holds_focus(Display* display, Window window);

}  // namespace dorvane::x11
