// SPDX-License-Identifier: MIT
// A stand-in for the game's programs (and for dosbox and wine on the PATH): a small X11 window
// that appends what a launcher did to it to $DORVANE_STANDIN_LOG (default ./standin.log), one
// JSON object a line with "event", "t" (monotonic seconds), "pid" and "name": "start" (argv,
// cwd, open fds), "mapped", "focus", "maximised", "key", "exit". Bytes >= 0x80 are written as
// \u0080 to \u00ff: the strings encoded as Latin-1 give the exact bytes.
// It ends on SIGTERM, SIGINT, SIGHUP, a window close or after $DORVANE_STANDIN_TIMEOUT seconds
// (120). DORVANE_STANDIN_EXIT=n: exit with n at once, no window; DORVANE_STANDIN_NO_WINDOW=1:
// run without one; DORVANE_STANDIN_DELAY=s: wait s seconds first; DORVANE_STANDIN_DETACH=1:
// hand over to a child that leaves the session, as Wine does ("detached", "from").
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "tools/standin/json_text.h"

namespace {

using dorvane::standin::json_text;

volatile std::sig_atomic_t g_signalled = 0;

void on_signal(int) {
    g_signalled = 1;
}

double now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class Log {
  public:
    Log(std::string name) : name_(std::move(name)) {
        const char* path = std::getenv("DORVANE_STANDIN_LOG");
        fd_ = open(path && *path ? path : "standin.log", O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC,
                   0644);
    }

    // One write per line, so that the lines of several stand-ins sharing a log never mix.
    void event(const std::string& kind, const std::string& fields = "") {
        char head[96];
        std::snprintf(head, sizeof head,
                      "{\"event\":\"%s\",\"t\":%.6f,\"pid\":%d,\"name\":", kind.c_str(), now(),
                      static_cast<int>(getpid()));
        std::string line = head + json_text(name_) + (fields.empty() ? "" : "," + fields) + "}\n";
        if (fd_ >= 0 && write(fd_, line.data(), line.size()) < 0)
            std::perror("standin: log");
    }

    int fd() const { return fd_; }

  private:
    std::string name_;
    int fd_ = -1;
};

std::string start_fields(int argc, char** argv, int own_fd) {
    std::string args = "\"argv\":[";
    for (int i = 0; i < argc; ++i) {
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "," + a temporary.
        if (i)
            args += ',';
        args += json_text(argv[i]);
    }
    char cwd[4096] = "";
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = 0;
    std::string fds = "\"fds\":[";
    bool first = true;
    if (DIR* dir = opendir("/proc/self/fd")) {
        int dir_fd = dirfd(dir);
        while (dirent* entry = readdir(dir)) {
            int fd = std::atoi(entry->d_name);
            if (entry->d_name[0] == '.' || fd == dir_fd || fd == own_fd)
                continue;
            if (!first)
                fds += ',';
            fds += std::to_string(fd);
            first = false;
        }
        closedir(dir);
    }
    return args + "],\"cwd\":" + json_text(cwd) + "," + fds + "]";
}

bool maximised(Display* display, Window window) {
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom vert = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
    Atom horz = XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, state, 0, 64, False, XA_ATOM, &type, &format, &count,
                           &after, &data) != Success ||
        !data)
        return false;
    bool v = false, h = false;
    const Atom* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
        v = v || atoms[i] == vert;
        h = h || atoms[i] == horz;
    }
    XFree(data);
    return v && h;
}

Window open_window(Display* display, const std::string& name) {
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, 320, 240, 0,
                                        BlackPixel(display, screen), 0x404040);
    std::string title = "standin " + name;
    XTextProperty text;
    char* title_ptr = title.data();
    XStringListToTextProperty(&title_ptr, 1, &text);
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    XTextProperty machine;
    char* host_ptr = host;
    XStringListToTextProperty(&host_ptr, 1, &machine);
    XSetWMName(display, window, &text);
    XSetWMClientMachine(display, window, &machine);
    XFree(text.value);
    XFree(machine.value);
    long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    Atom close = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &close, 1);
    XSelectInput(display, window,
                 KeyPressMask | FocusChangeMask | StructureNotifyMask | PropertyChangeMask);
    XMapWindow(display, window);
    XFlush(display);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    std::string name = argc > 0 ? argv[0] : "";
    name = name.substr(name.rfind('/') + 1);
    Log log(name);
    log.event("start", start_fields(argc, argv, log.fd()));
    if (const char* detach = std::getenv("DORVANE_STANDIN_DETACH"); detach && *detach == '1') {
        int from = static_cast<int>(getpid());
        pid_t child = fork();
        if (child != 0)
            _exit(child < 0 ? 1 : 0);
        setsid();
        log.event("detached", "\"from\":" + std::to_string(from));
    }
    if (const char* delay = std::getenv("DORVANE_STANDIN_DELAY"))
        usleep(static_cast<useconds_t>(std::atof(delay) * 1e6));
    if (const char* code = std::getenv("DORVANE_STANDIN_EXIT")) {
        log.event("exit", "\"reason\":\"asked\"");
        return std::atoi(code);
    }

    struct sigaction action {};
    action.sa_handler = on_signal;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
    double timeout = 120;
    if (const char* t = std::getenv("DORVANE_STANDIN_TIMEOUT"))
        timeout = std::atof(t);

    if (const char* hidden = std::getenv("DORVANE_STANDIN_NO_WINDOW"); hidden && *hidden == '1') {
        const double end = now() + timeout;
        while (!g_signalled && now() < end)
            usleep(20000);
        log.event("exit", g_signalled ? "\"reason\":\"signal\"" : "\"reason\":\"timeout\"");
        return 0;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        log.event("exit", "\"reason\":\"no display\"");
        return 2;
    }
    Window window = open_window(display, name);
    Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    Atom close = XInternAtom(display, "WM_DELETE_WINDOW", False);
    bool was_maximised = false;
    const double end = now() + timeout;
    std::string reason = "timeout";
    while (now() < end) {
        if (g_signalled) {
            reason = "signal";
            break;
        }
        if (!XPending(display)) {
            pollfd p{ConnectionNumber(display), POLLIN, 0};
            poll(&p, 1, 100);
            if (!XPending(display))
                continue;
        }
        XEvent e;
        XNextEvent(display, &e);
        if (e.type == MapNotify) {
            log.event("mapped", "\"window\":" + std::to_string(window));
        } else if (e.type == FocusIn && e.xfocus.detail != NotifyPointer) {
            log.event("focus");
        } else if (e.type == PropertyNotify && e.xproperty.atom == state) {
            bool now_maximised = maximised(display, window);
            if (now_maximised && !was_maximised)
                log.event("maximised");
            was_maximised = now_maximised;
        } else if (e.type == KeyPress) {
            char text[16] = "";
            KeySym sym = NoSymbol;
            int n = XLookupString(&e.xkey, text, sizeof text - 1, &sym, nullptr);
            const char* sym_name = XKeysymToString(sym);
            log.event("key", "\"key\":" + json_text(std::string(text, n > 0 ? n : 0)) +
                                 ",\"keysym\":" + json_text(sym_name ? sym_name : ""));
        } else if (e.type == ClientMessage && static_cast<Atom>(e.xclient.data.l[0]) == close) {
            reason = "closed";
            break;
        }
    }
    log.event("exit", "\"reason\":\"" + reason + "\"");
    XCloseDisplay(display);
    return 0;
}
