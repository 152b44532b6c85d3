// SPDX-License-Identifier: MIT
#include "platform/x11/ewmh.h"

#include <X11/Xatom.h>
#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace dorvane::x11 {

namespace {

bool g_x_error = false;

int note_error(Display*, XErrorEvent*) {
    g_x_error = true;
    return 0;
}

// Keeps X errors about windows that vanish meanwhile (a program may close at any moment) away
// from the toolkit's handler, which would end the program.
class ErrorTrap {
  public:
    explicit ErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        g_x_error = false;
        previous_ = XSetErrorHandler(note_error);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool failed() {
        XSync(display_, False);
        return g_x_error;
    }

  private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
};

std::vector<unsigned long> cardinals(Display* display, Window window, const char* property,
                                     Atom type) {
    Atom actual;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 1 << 16,
                           False, type, &actual, &format, &count, &after, &data) == Success &&
        data) {
        if (format == 32) {
            const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
            values.assign(items, items + count);
        }
        XFree(data);
    }
    return values;
}

std::vector<Window> children(Display* display, Window window) {
    Window root, parent, *kids = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, window, &root, &parent, &kids, &count) && kids) {
        out.assign(kids, kids + count);
        XFree(kids);
    }
    return out;
}

bool has_window_manager(Display* display) {
    return !cardinals(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)
                .empty();
}

// Managed windows from the window manager's list; without one, mapped top-level windows and
// the windows just inside them.
std::vector<Window> top_level_windows(Display* display) {
    Window root = DefaultRootWindow(display);
    std::vector<unsigned long> listed = cardinals(display, root, "_NET_CLIENT_LIST", XA_WINDOW);
    if (!listed.empty())
        return {listed.begin(), listed.end()};
    std::vector<Window> out;
    for (Window top : children(display, root)) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, top, &attributes) || attributes.map_state != IsViewable)
            continue;
        out.push_back(top);
        for (Window inner : children(display, top))
            out.push_back(inner);
    }
    return out;
}

void send_to_root(Display* display, Window window, const char* message, long l0, long l1, long l2,
                  long l3) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(display, message, False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = l0;
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

pid_t parent_of(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    std::getline(stat, line);
    // The command name in parentheses may hold blanks; the fields after it do not.
    std::size_t close = line.rfind(')');
    if (close == std::string::npos || close + 4 >= line.size())
        return -1;
    return static_cast<pid_t>(std::atol(line.c_str() + close + 4));
}

}  // namespace

std::set<pid_t> process_family(pid_t pid) {
    std::map<pid_t, std::vector<pid_t>> kids;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            std::string name = entry->d_name;
            if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            kids[parent_of(name)].push_back(static_cast<pid_t>(std::atol(name.c_str())));
        }
        closedir(proc);
    }
    std::set<pid_t> family{pid};
    std::vector<pid_t> todo{pid};
    while (!todo.empty()) {
        pid_t next = todo.back();
        todo.pop_back();
        for (pid_t kid : kids[next]) {
            if (family.insert(kid).second)
                todo.push_back(kid);
        }
    }
    return family;
}

std::optional<Window> window_of(Display* display, const std::set<pid_t>& pids) {
    ErrorTrap trap(display);
    for (Window window : top_level_windows(display)) {
        std::vector<unsigned long> pid = cardinals(display, window, "_NET_WM_PID", XA_CARDINAL);
        if (!pid.empty() && pids.count(static_cast<pid_t>(pid[0])))
            return window;
    }
    return std::nullopt;
}

void request_maximise(Display* display, Window window) {
    if (has_window_manager(display)) {
        // Add both states; source 2: a request on the user's behalf, which managers honour.
        send_to_root(display, window, "_NET_WM_STATE", 1,
                     static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False)),
                     static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False)),
                     2);
    } else {
        ErrorTrap trap(display);
        Screen* screen = DefaultScreenOfDisplay(display);
        XMoveResizeWindow(display, window, 0, 0, static_cast<unsigned>(WidthOfScreen(screen)),
                          static_cast<unsigned>(HeightOfScreen(screen)));
    }
    XFlush(display);
}

void request_activation(Display* display, Window window) {
    if (has_window_manager(display)) {
        // Source 2 as well: focus-stealing prevention lets a user's own request through.
        send_to_root(display, window, "_NET_ACTIVE_WINDOW", 2, CurrentTime, 0, 0);
    } else {
        ErrorTrap trap(display);
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XFlush(display);
}

bool holds_focus(Display* display, Window window) {
    ErrorTrap trap(display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    Window root = DefaultRootWindow(display);
    while (focus != None && focus != PointerRoot && focus != root) {
        if (focus == window)
            return !trap.failed();
        Window parent_root, parent, *kids = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, focus, &parent_root, &parent, &kids, &count))
            return false;
        if (kids)
            XFree(kids);
        focus = parent;
    }
    return false;
}

}  // namespace dorvane::x11
