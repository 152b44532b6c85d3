// SPDX-License-Identifier: MIT
// Ending from outside on a POSIX system: SIGTERM (a logout, `kill`), SIGINT (Ctrl+C in a
// terminal) and SIGHUP (the terminal closed) are turned into a byte on a pipe, so that the
// program's event loop ends the program as its own handlers would, never inside the signal
// handler, where saving a file is not safe.
#pragma once

namespace dorvane {

// Installs the handlers once; returns the pipe's end that becomes readable when one of the
// signals came, or -1 when no pipe could be made (the signals then keep their default action).
int watch_end_signals();

// Takes the signals' bytes off the pipe; returns whether there were any.
bool take_end_signals(int fd);

}  // namespace dorvane
