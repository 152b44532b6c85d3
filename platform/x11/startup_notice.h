// SPDX-License-Identifier: MIT
// The desktop's startup notification for the programs the launcher starts: while one starts,
// the desktop may show a busy pointer or a task bar entry, and the window manager learns the
// time of the click or key that asked for it, which decides whether the new window may take the
// focus.
//
// A launch gets an id ending in "_TIME<timestamp>", given to the child as DESKTOP_STARTUP_ID;
// begin() sends "new:" with the id, the program's name, the window class the program's windows
// will carry, the screen, the host and pid, and the timestamp; end() sends "remove:" once, when
// the window is found or the launch failed. The messages go as _NET_STARTUP_INFO_BEGIN and
// _NET_STARTUP_INFO client messages of 20 bytes to the root window.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace dorvane::x11 {

// One message in the notification's text form: `kind:` and KEY="value" pairs, values quoted with
// a backslash before '"' and '\'.
std::string startup_message(const std::string& kind,
                            const std::vector<std::pair<std::string, std::string>>& fields);

// Sends a message as client messages to the root window of the display's default screen.
void send_startup_message(Display* display, const std::string& message);

// The remove: of an id given to this program by whoever started it (nothing for an empty id).
void end_startup(Display* display, const std::string& id);

class StartupNotice {
  public:
    // A fresh id for the serial-th launch of this process.
    static std::string make_id(unsigned serial, unsigned long timestamp);

    void begin(Display* display, const std::string& id, pid_t pid, const std::string& name,
               const std::string& window_class, unsigned long timestamp);
    // remove:, once; nothing after that or without a begin().
    void end(Display* display);

  private:
    std::string id_;
};

}  // namespace dorvane::x11
