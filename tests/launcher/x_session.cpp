// SPDX-License-Identifier: MIT
#include "x_session.h"

#include <X11/Xatom.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <vector>

namespace dorvane::testing {

namespace {

// Starts a program that dies with the test: a test killed by its time limit must not leave an X
// server behind. `keep_fd` becomes descriptor 3 of the child; its output goes to /dev/null.
pid_t start(std::vector<std::string> argv, int keep_fd = -1) {
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
    int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    if (keep_fd >= 0)
        dup2(keep_fd, 3);  // dup2 clears close-on-exec on the copy
    execvp(args[0], args.data());
    _exit(127);
}

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::vector<Window> root_windows(Display* display, const char* property) {
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False),
                       0, 1024, False, XA_WINDOW, &type, &format, &count, &after, &data);
    std::vector<Window> windows;
    if (data) {
        const Window* items = reinterpret_cast<const Window*>(data);
        windows.assign(items, items + count);
        XFree(data);
    }
    return windows;
}

// The window manager announces itself before it takes on windows, and a window mapped in
// between may never be managed: a probe window that it does manage shows it is ready.
bool window_manager_ready(Display* display) {
    if (root_windows(display, "_NET_SUPPORTING_WM_CHECK").empty())
        return false;
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
    XMapWindow(display, probe);
    XSync(display, False);
    bool managed = wait_until(
        [&] {
            std::vector<Window> clients = root_windows(display, "_NET_CLIENT_LIST");
            return std::find(clients.begin(), clients.end(), probe) != clients.end();
        },
        std::chrono::milliseconds(500));
    XDestroyWindow(display, probe);
    XSync(display, False);
    return managed;
}

}  // namespace

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

XSession::XSession() {
    if (const char* old = std::getenv("DISPLAY")) {
        had_display_ = true;
        old_display_ = old;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        failure_ = "no pipe";
        return;
    }
    // The server writes the display number it chose to this descriptor once it takes clients.
    // No key repeat: on a busy machine a typed key's release may come after the repeat delay.
    server_ = start({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-dpi", "96",
                     "-nolisten", "tcp", "-noreset", "-r"},
                    fds[1]);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&p, 1, 20000) > 0) {
        char buffer[16];
        ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        failure_ = "Xvfb did not start";
        return;
    }
    // Built in place: GCC 12 warns falsely (-Wrestrict) on ":" + a temporary, or on ":" assigned.
    name_.assign(1, ':');
    name_.append(number, 0, number.find('\n'));
    setenv("DISPLAY", name_.c_str(), 1);
    display_ = XOpenDisplay(name_.c_str());
    if (!display_) {
        failure_ = "cannot open " + name_;
        return;
    }
    window_manager_ = start({"openbox", "--sm-disable"});
    if (!wait_until([&] { return window_manager_ready(display_); }, std::chrono::seconds(20)))
        failure_ = "openbox did not start";
}

XSession::~XSession() {
    if (display_)
        XCloseDisplay(display_);
    stop(window_manager_);
    stop(server_);
    if (had_display_)
        setenv("DISPLAY", old_display_.c_str(), 1);
    else
        unsetenv("DISPLAY");
}

}  // namespace dorvane::testing
