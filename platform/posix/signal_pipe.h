// SPDX-License-Identifier: MIT
// Signals as bytes on a pipe: the handler of each signal of a set only writes its number on the
// set's pipe, and the program's event loop, which watches the pipe's other end, does the work
// between events, never inside the handler, where almost nothing is safe.
#pragma once

#include <initializer_list>

namespace dorvane::posix {

// Makes the pipe and installs the handlers (with `flags` added to SA_RESTART, so that the
// program's own reads and writes never see EINTR for them); returns the end to watch, or -1
// when no pipe could be made (the signals then keep their action). A signal belongs to the
// set it was first given to.
int signal_pipe(std::initializer_list<int> signals, int flags = 0);

// Takes the bytes off the pipe without waiting; returns whether there were any.
bool take_signal_bytes(int fd);

}  // namespace dorvane::posix
