// SPDX-License-Identifier: MIT
#include "platform/posix/signal_pipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace dorvane::posix {

namespace {

// The pipe each signal writes to, by signal number, once `g_installed` says it has one.
constexpr int kSignals = 65;
int g_write_ends[kSignals] = {};
bool g_installed[kSignals] = {};

void on_signal(int number) {
    int saved = errno;
    char byte = static_cast<char>(number);
    (void)!::write(g_write_ends[number], &byte, 1);  // a full pipe already tells the loop
    errno = saved;
}

}  // namespace

int signal_pipe(std::initializer_list<int> signals, int flags) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | flags;
    for (int number : signals) {
        if (number <= 0 || number >= kSignals || g_installed[number])
            continue;
        g_write_ends[number] = ends[1];
        g_installed[number] = true;
        ::sigaction(number, &action, nullptr);
    }
    return ends[0];
}

bool take_signal_bytes(int fd) {
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

}  // namespace dorvane::posix
