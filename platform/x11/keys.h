// SPDX-License-Identifier: MIT
// Typing text as synthetic key presses (XTest), so that the program that holds the focus takes
// them exactly as keys from the keyboard.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace dorvane::x11 {

// Whether the user still holds Shift, Ctrl, Alt or Super (say, from the shortcut that started
// the command): typed keys would come out as shortcuts of their own.
bool modifiers_held(Display* display);

// Presses and releases each character's key, with Shift where the character needs it, and
// returns once the server has taken every event. False, typing nothing, when XTest is missing
// or a character has no key on this keyboard.
bool type_keys(Display* display, const std::string& keys);

}  // namespace dorvane::x11
