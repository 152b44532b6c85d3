// SPDX-License-Identifier: MIT
#include "platform/posix/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace dorvane {

namespace {

int g_write_end = -1;

void on_signal(int number) {
    int saved = errno;
    char byte = static_cast<char>(number);
    (void)!::write(g_write_end, &byte, 1);  // a full pipe already tells the loop
    errno = saved;
}

}  // namespace

int watch_end_signals() {
    static int read_end = -1;
    if (read_end >= 0)
        return read_end;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    read_end = ends[0];
    g_write_end = ends[1];
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(number, &action, nullptr);
    return read_end;
}

bool take_end_signals(int fd) {
    char bytes[64];
    bool any = false;
    for (;;) {
        ssize_t n = ::read(fd, bytes, sizeof bytes);
        if (n > 0) {
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return any;
    }
}

}  // namespace dorvane
