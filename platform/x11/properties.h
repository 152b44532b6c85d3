// SPDX-License-Identifier: MIT
// Reading other clients' windows: their properties and where they sit in the window tree.
// Every read copies what the server answered and frees Xlib's copy, and a window that is gone
// (another client may close it at any moment) reads as empty. The caller keeps X errors away
// from the toolkit's handler where a window may vanish (see ErrorTrap in ewmh.cpp).
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace dorvane::x11 {

// The 32-bit items of `property` when it has type `type` (as XA_CARDINAL or XA_WINDOW), at most
// `most` of them; empty when the window has no such property or one of another type or format.
std::vector<unsigned long> cardinals(Display* display, Window window, const char* property,
                                     Atom type, long most = 1 << 16);

// A text property (WM_NAME, WM_CLIENT_MACHINE) as its bytes; nullopt when there is none.
std::optional<std::string> text_property(Display* display, Window window, Atom property);

// The window's children, bottom first.
std::vector<Window> children(Display* display, Window window);

// The window's parent; nullopt when the window is gone. The root's parent is 0.
std::optional<Window> parent_of(Display* display, Window window);

// The window's ancestor just below the root (the frame a reparenting window manager put
// around a top-level window), or the window itself when it is a child of the root or its tree
// cannot be read. The walk stops after `depth` steps.
Window top_level_ancestor(Display* display, Window window, int depth = 16);

}  // namespace dorvane::x11
