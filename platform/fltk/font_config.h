// SPDX-License-Identifier: MIT
// Fontconfig's start, taken off the program's critical path.
//
// Fontconfig reads its configuration and font caches the first time a font is looked up, which
// is in the first paint: the larger part of the work left before it once the input method is
// out of the way. The backend starts it on a thread of its own as the program starts, while the
// main thread connects to the X server, builds and shows the windows and waits for them to be
// mapped, and waits for it before anything is drawn or measured.
#pragma once

namespace dorvane::fltk {

// Starts loading fontconfig's configuration beside the main thread. Once only.
void start_font_config();

// Returns once fontconfig is loaded (at once when it was, or was never started). Every first
// use of a font waits here: the window's paint and the message box.
void wait_for_font_config();

}  // namespace dorvane::fltk
