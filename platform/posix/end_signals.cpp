// SPDX-License-Identifier: MIT
#include "platform/posix/end_signals.h"

#include <signal.h>

#include "platform/posix/signal_pipe.h"

namespace dorvane {

int watch_end_signals() {
    static int read_end = posix::signal_pipe({SIGTERM, SIGINT, SIGHUP});
    return read_end;
}

bool take_end_signals(int fd) {
    return posix::take_signal_bytes(fd);
}

}  // namespace dorvane
