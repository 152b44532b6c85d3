// SPDX-License-Identifier: MIT
// The window manager's side of starting a program: finding the top-level window a process
// owns, asking for it to be maximised and activated, and telling whether it holds the focus.
// Requests go through the EWMH client messages, so that the window manager does the moving and
// keeps its own bookkeeping; without a window manager the window is raised and focused
// directly. Nothing here reads events: the caller's toolkit keeps its event queue.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace dorvane::x11 {

// The windows the window manager manages (without one, the mapped top-level windows and the
// windows just inside them).
std::set<Window> managed_windows(Display* display);

// The first of the managed windows whose _NET_WM_PID is a process `belongs` accepts; a window
// without _NET_WM_PID is taken when it is not in `before` and its class (WM_CLASS's instance, as
// Wine names its windows after the program's file) equals `class_name` in any letter case. (A
// window of the launch's own process is taken even when its number is in `before`: the server
// gives a closed client's numbers out again.) With `class_required`, only windows of that class
// count at all (Wine's own programs, such as the dialog of its first start in a new prefix, run in
// the launch's processes too). A window whose WM_CLIENT_MACHINE names another machine is left out,
// and so is one not yet mapped on the screen (nor iconic): the window manager lists a window before
// it maps it.
std::optional<Window> window_of(Display* display, const std::function<bool(pid_t)>& belongs,
                                const std::string& class_name, const std::set<Window>& before,
                                bool class_required = false);

// Whether the window's size hints fix its size (minimum = maximum), which leaves a window
// manager nothing to maximise.
bool fixed_size(Display* display, Window window);

void request_maximise(Display* display, Window window);
// With the time of the user's input that asked for it (CurrentTime: none known).
void request_activation(Display* display, Window window, Time user_time = CurrentTime);

// The window's title (WM_NAME); empty when it has none or is gone.
std::string window_title(Display* display, Window window);

// Whether the keyboard focus is on `window` or within it. False once the window is gone.
bool holds_focus(Display* display, Window window);

}  // namespace dorvane::x11
