// SPDX-License-Identifier: MIT
// Support for tests of the FLTK backend on a real X server: the one backend of the test
// program, bounded waits that keep the event loop running, and input as the X server delivers a
// user's (XTest keys and clicks, the window manager's activation and close requests).
#pragma once

#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>

#include <functional>
#include <string>
#include <vector>

#include "platform/fltk/services.h"
#include "platform/form.h"

struct _XDisplay;  // Xlib's display connection; its header stays out (its macros clash)

namespace dorvane::testing {

fltk::FltkServices& backend();

// Runs the event loop until `done` holds or `seconds` pass; returns whether it held.
bool wait_for(const std::function<bool()>& done, double seconds = 5);
// Runs the event loop for a while, for checks that something does NOT happen.
void settle(double seconds = 0.3);

// The window that mirrors the form, and the widget of one of its controls (nullptr if none).
Fl_Window* window_of(const Form& form);
Fl_Widget* widget_of(const Form& form, const Control& control);

// The window manager makes the window the active one (_NET_ACTIVE_WINDOW).
void activate(Fl_Window* window);
// The window manager's request to close the window, as its close control sends it.
void request_close(Fl_Window* window);
// Keys typed on the keyboard: "y", "Return", "Escape", "Tab"; with Alt held when `alt`.
void type_key(const std::string& keysym, bool alt = false);
// A click (or double click) at a point of the screen.
void click_at(int x, int y, int clicks = 1);

// Answers the message box the code under test opens next, as a user at the keyboard: each key
// ("Return", "n", or "close" for the frame's close control) once the box holds the X keyboard
// focus, one a look. A key typed while the window manager hands the focus over may be lost, so
// the last one is typed again every two seconds while the box stays open. A box still open after
// `seconds` is closed and the test fails, rather than waiting for an answer for ever.
class BoxAnswerer {
  public:
    explicit BoxAnswerer(std::vector<std::string> keys, double seconds = 20);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

  private:
    static void look(void* self);

    std::vector<std::string> keys_;
    std::size_t next_ = 0;
    double start_, last_ = 0, seconds_;
    bool gave_up_ = false;
};

// A window of another program: a second connection to the X server with a window of its own.
class OtherProgramWindow {
  public:
    OtherProgramWindow();
    ~OtherProgramWindow();
    // Asks the window manager to activate it; returns once it holds the keyboard focus.
    bool activate();

  private:
    ::_XDisplay* display_;
    unsigned long window_;
};

}  // namespace dorvane::testing
