// SPDX-License-Identifier: MIT
// Windows: the backend builds and drops the widgets of the program's forms, and ends the
// program. A window the system will not make is reported to the caller, which decides what the
// program does without it (mainwindow/: tells the user, and ends without a main window).
#pragma once

#include <optional>
#include <string>

#include "platform/form.h"

namespace dorvane {

class WindowService {
  public:
    virtual ~WindowService() = default;

    // A window of the program came into being; the backend builds its widgets. nullopt when it
    // did; otherwise why the system would not make it, in words for the user (the form then has
    // no window, and the backend leaves it alone).
    [[nodiscard]] virtual std::optional<std::string> form_created(Form& form) = 0;
    // A window of the program is gone; the backend drops its widgets.
    virtual void form_destroyed(Form& form) = 0;
    // Ends the program at once: every window closes without running any handler of its own.
    virtual void end_program() = 0;
};

}  // namespace dorvane
