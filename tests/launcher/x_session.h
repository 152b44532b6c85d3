// SPDX-License-Identifier: MIT
// A private X server for tests: Xvfb at 96 dpi on a display number the server picks itself, with
// openbox as the window manager. DISPLAY points at it while the session lives; both processes
// are stopped (by their own ids) when it ends.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace dorvane::testing {

class XSession {
  public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Empty when the server or the window manager did not come up.
    const std::string& failure() const { return failure_; }
    Display* display() const { return display_; }
    const std::string& name() const { return name_; }

  private:
    pid_t server_ = -1;
    pid_t window_manager_ = -1;
    Display* display_ = nullptr;
    std::string name_;
    std::string old_display_;
    bool had_display_ = false;
    std::string failure_;
};

// Polls `condition` until it holds or `limit` has passed; returns its last value.
bool wait_until(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace dorvane::testing
