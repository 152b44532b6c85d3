// SPDX-License-Identifier: MIT
// Where the widgets send what the user did: the backend runs the program's handler for it and
// then brings every window up to date with what the handler changed.
#pragma once

#include <functional>

namespace dorvane::fltk {

// Runs one event of the program, then mirrors every form on its widgets.
void route_event(const std::function<void()>& handler);

}  // namespace dorvane::fltk
