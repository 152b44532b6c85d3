// SPDX-License-Identifier: MIT
// The launch contract: what the process services promise when the launcher starts one of the
// game's programs, brings it to the front and types into it; how long each step may hold the
// user-interface thread; and what counts as failure. One engine keeps it for every system
// (platform/launch_engine.h); the shared cases (tests/launcher/launch_cases.h) run it on the
// headless, X11 and Win32 drivers.
//
// start_program(command line) returns at once. nullopt means the program could not be found or
// executed, and that is known before the call returns; anything later is the activation's.
//
// activate(task) holds the caller until the program's window shows, at most kActivateHold,
// then asks for that window to be maximised (see below) and to be the active window with the
// keyboard focus. It does not wait for the window to take the focus: a window manager or
// Windows' foreground rules may take their time, and the program is running either way.
//   true:  the window showed and was asked to the front; or the program is still running
//          without a window at the end of the hold, or ended successfully without one (it may
//          have handed its work to another process, as wine does): the activation goes on
//          without the caller, and until kWindowWait after the start a window of the program
//          that shows is maximised and activated then.
//   false: no such task; or the program ended with an error (or by a signal) before it showed
//          a window, within the hold.
// A program whose activation went on without the caller and that then ends with an error
// before it shows a window is reported later, through the report given to on_late_failure,
// on the user-interface thread between events. So a program that started and is still running
// is never reported as failed, and one that ended with an error before showing a window never
// passes in silence.
//
// Maximised: a window the window manager can resize is maximised. A window of fixed size (a
// DOS program's DOSBox window) cannot be; such a program is started in DOSBox's own full
// screen instead, unless DOSBox's configuration in the game folder says otherwise.
//
// send_keys(keys, shown_for) types into the window of the program activated last, and into no
// other window: it waits, at most kKeysWait, until that window has shown (if the activation was
// still going on); then until the window has been on the screen for shown_for, counted from
// the moment it was seen shown (a window counts as shown once it is mapped on the screen, not
// when the window manager first lists it); then, at most kKeysWait again, until it holds the
// keyboard focus, asking for the focus again every kFocusAgain on the way; then, within the
// same bound, until the user has let go of Shift, Ctrl, Alt and Super (the shortcut that started
// the command may still be held, and "Y" would go as Ctrl+Y); then it types the keys and returns
// once they were processed. false when there is no such window, it never took the focus, the
// modifiers stayed held, or the keys cannot be typed; nothing is typed then.
//
// The launcher's own holds are these bounds and the editor's two-second wait: after a launch
// its window answers the user again as soon as the program's window showed, and at the latest
// after kActivateHold; the editor's "Y" may add up to kKeysWait, and its two seconds again,
// when the editor is slow to show its window or to take the focus.
#pragma once

#include <chrono>

namespace dorvane::launch {

using std::chrono::milliseconds;

// The most activate() holds the caller waiting for the program's window.
constexpr milliseconds kActivateHold{1000};
// How long after its start a program's window is still looked for, to be brought to the front
// (Wine's first start in a fresh prefix takes tens of seconds).
constexpr milliseconds kWindowWait{60000};
// The most send_keys() waits for the program's window to show and to take the focus.
constexpr milliseconds kKeysWait{3000};
// send_keys() for keys that may go as soon as the window holds the focus.
constexpr milliseconds kAtOnce{0};
// How often send_keys() asks again for the focus while the window does not hold it.
constexpr milliseconds kFocusAgain{250};
// How often the waits look again.
constexpr milliseconds kPoll{10};

}  // namespace dorvane::launch
