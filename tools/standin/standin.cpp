// SPDX-License-Identifier: MIT
// A stand-in for the game's programs (and dosbox and wine): an X11 window that appends to
// $DORVANE_STANDIN_LOG (./standin.log) one JSON object a line with "event", "t" (monotonic
// seconds), "pid" and "name": "start" (argv, cwd, fds), "mapped" (window), "focus", "maximised",
// "key" (key), "detached" (from). It ends on a signal, a close or after DORVANE_STANDIN_TIMEOUT
// (120 s). DORVANE_STANDIN_EXIT=n: exit with n, no window; NO_WINDOW=1: run without one;
// DELAY=s: wait s seconds first; DETACH=1: hand over to a child outside the session, as Wine does.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "tools/standin/json_text.h"

namespace {

using dorvane::standin::json_text;

int g_log = -1;
std::string g_name;

// One write per line, so that the lines of several stand-ins sharing a log never mix.
void event(const char* kind, const std::string& fields = "") {
    char head[96];
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::snprintf(head, sizeof head, "{\"event\":\"%s\",\"t\":%.6f,\"pid\":%d,\"name\":", kind,
                  now.tv_sec + now.tv_nsec / 1e9, static_cast<int>(getpid()));
    std::string line = head + json_text(g_name) + (fields.empty() ? "" : "," + fields) + "}\n";
    if (write(g_log, line.data(), line.size()) < 0)
        std::perror("standin: log");
}

double knob(const char* name, double otherwise) {
    const char* value = std::getenv(name);
    return value ? std::atof(value) : otherwise;
}

bool maximised(Display* display, Window window) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64,
                           False, XA_ATOM, &type, &format, &count, &after, &data) != Success)
        return false;
    Atom* atoms = reinterpret_cast<Atom*>(data);
    int found = 0;
    for (const char* side : {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"})
        found += std::count(atoms, atoms + count, XInternAtom(display, side, False)) > 0;
    XFree(data);
    return found == 2;
}

}  // namespace

int main(int argc, char** argv) {
    g_name = std::string(argv[0]).substr(std::string(argv[0]).rfind('/') + 1);
    const char* path = std::getenv("DORVANE_STANDIN_LOG");
    g_log =
        open(path && *path ? path : "standin.log", O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    std::string start = "\"argv\":[";
    for (int i = 0; i < argc; ++i)
        start.append(i ? "," : "").append(json_text(argv[i]));
    char cwd[4096] = "";
    start += "],\"cwd\":" + json_text(getcwd(cwd, sizeof cwd) ? cwd : "") + ",\"fds\":[";
    for (int fd = 0; fd < 4096; ++fd)
        if (fd != g_log && fcntl(fd, F_GETFD) != -1)
            start.append(start.back() == '[' ? "" : ",").append(std::to_string(fd));
    event("start", start + "]");
    if (knob("DORVANE_STANDIN_DETACH", 0) == 1) {
        int from = static_cast<int>(getpid());
        if (pid_t child = fork(); child != 0)
            _exit(child < 0 ? 1 : 0);
        setsid();
        event("detached", "\"from\":" + std::to_string(from));
    }
    usleep(static_cast<useconds_t>(knob("DORVANE_STANDIN_DELAY", 0) * 1e6));
    if (const char* code = std::getenv("DORVANE_STANDIN_EXIT"))
        return std::atoi(code);
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGALRM})
        std::signal(sig, [](int) { _exit(0); });
    alarm(static_cast<unsigned>(knob("DORVANE_STANDIN_TIMEOUT", 120) + 0.999));
    while (knob("DORVANE_STANDIN_NO_WINDOW", 0) == 1)
        pause();
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0, 0, 0x404040);
    long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    Atom close = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &close, 1);
    XSelectInput(display, window,
                 KeyPressMask | FocusChangeMask | StructureNotifyMask | PropertyChangeMask);
    XMapWindow(display, window);
    while (true) {
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == MapNotify) {
            event("mapped", "\"window\":" + std::to_string(window));
        } else if (e.type == FocusIn && e.xfocus.detail != NotifyPointer) {
            event("focus");
        } else if (e.type == PropertyNotify && maximised(display, window)) {
            event("maximised");
        } else if (e.type == KeyPress) {
            char text[16] = "";
            int n = XLookupString(&e.xkey, text, sizeof text - 1, nullptr, nullptr);
            event("key", "\"key\":" + json_text(std::string(text, n > 0 ? n : 0)));
        } else if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == close) {
            return 0;
        }
    }
}
