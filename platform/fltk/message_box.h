// SPDX-License-Identifier: MIT
// The program's message boxes: modal, with the given title and no icon, answered with OK or
// with Yes and No.
//
// Return presses the button that has the focus (the first when the box opens), Y and N press
// Yes and No. A box with OK is also answered by Escape or its frame's close control; a box
// with Yes and No cannot be dismissed without an answer. While a box is open no other window
// of the program takes input.
#pragma once

#include <string>

#include "platform/fltk/scale.h"
#include "platform/services.h"

namespace dorvane::fltk {

Answer run_message_box(const std::string& prompt, const std::string& title, Buttons buttons,
                       const Scale& scale);

}  // namespace dorvane::fltk
