// SPDX-License-Identifier: MIT
// Windows: the backend builds and drops the widgets of the program's forms, and ends the
// program. A window the system will not make is reported by the backend itself: it tells the
// user why in a message box, and without a main window the program ends, since nothing would
// be left to show or to close.
#pragma once

#include "platform/form.h"

namespace dorvane {

class WindowService {
  public:
    virtual ~WindowService() = default;

    // A window of the program came into being or is gone; the backend builds or drops its widgets.
    virtual void form_created(Form& form) = 0;
    virtual void form_destroyed(Form& form) = 0;
    // Ends the program at once: every window closes without running any handler of its own.
    virtual void end_program() = 0;
};

}  // namespace dorvane
