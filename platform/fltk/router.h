// SPDX-License-Identifier: MIT
// Where the widgets send what the user did: the backend runs the program's handler for it and
// then brings every window up to date with what the handler changed.
#pragma once

#include <functional>
#include <string>

#include "platform/events.h"
#include "platform/form.h"

namespace dorvane::fltk {

// Runs one event of the program, then mirrors every form on its widgets.
void route_event(const std::function<void()>& handler);
// The user pressed the close control of the form's window frame.
void report_frame_close(Form& form);
// The user changed the text of a text box; its widget shows `text` already.
void report_typed(Control& box, const std::string& text);
// The user pressed a key in the form's window (EventRules::key).
KeyOutcome report_key(Form& form, Control* focus, Key key);

}  // namespace dorvane::fltk
