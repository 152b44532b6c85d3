// SPDX-License-Identifier: MIT
#include "platform/x11/ewmh.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"
#include "platform/x11/properties.h"

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

std::string this_host() {
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) != 0)
        return "";
    return host;
}

std::string class_of(Display* display, Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return "";
    std::string instance = hint.res_name ? hint.res_name : "";
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return instance;
}

// Whether the window is on the screen: mapped, or iconic (a program may start minimised). A
// window manager lists a window as it takes it on, before it maps it; until then the program
// has not seen its window come up, and its time on the screen has not begun.
bool on_screen(Display* display, Window window) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    if (attributes.map_state == IsViewable)
        return true;
    Atom wm_state = XInternAtom(display, "WM_STATE", False);
    std::vector<unsigned long> state = cardinals(display, window, "WM_STATE", wm_state, 1);
    return !state.empty() && state[0] == IconicState;
}

}  // namespace

std::set<Window> managed_windows(Display* display) {
    ErrorTrap trap(display);
    std::vector<Window> windows = top_level_windows(display);
    return {windows.begin(), windows.end()};
}

std::optional<Window> window_of(Display* display, const std::function<bool(pid_t)>& belongs,
                                const std::string& class_name, const std::set<Window>& before,
                                bool class_required) {
    ErrorTrap trap(display);
    std::string host = this_host();
    for (Window window : top_level_windows(display)) {
        if (class_required && !same_ignoring_case(class_of(display, window), class_name))
            continue;
        std::optional<std::string> machine = text_property(display, window, XA_WM_CLIENT_MACHINE);
        if (machine && !host.empty() && *machine != host)
            continue;
        // The server hands a closed client's window numbers out again, so a number that was
        // listed at the start may name a new window by now. One of the launch's processes is
        // newer than the start, and so is its window; by class alone, only a new number counts.
        std::vector<unsigned long> pid = cardinals(display, window, "_NET_WM_PID", XA_CARDINAL);
        bool ours = pid.empty() ? !before.count(window) && !class_name.empty() &&
                                      same_ignoring_case(class_of(display, window), class_name)
                                : belongs(static_cast<pid_t>(pid[0]));
        if (ours && on_screen(display, window))
            return window;
    }
    return std::nullopt;
}

bool fixed_size(Display* display, Window window) {
    ErrorTrap trap(display);
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(display, window, &hints, &supplied))
        return false;
    return (hints.flags & PMinSize) && (hints.flags & PMaxSize) && hints.min_width > 0 &&
           hints.min_width == hints.max_width && hints.min_height == hints.max_height;
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

void request_activation(Display* display, Window window, Time user_time) {
    if (has_window_manager(display)) {
        // Source 2 as well: focus-stealing prevention lets a user's own request through.
        send_to_root(display, window, "_NET_ACTIVE_WINDOW", 2, user_time, 0, 0);
    } else {
        ErrorTrap trap(display);
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XFlush(display);
}

std::string window_title(Display* display, Window window) {
    ErrorTrap trap(display);
    return text_property(display, window, XA_WM_NAME).value_or("");
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
        std::optional<Window> parent = parent_of(display, focus);
        if (!parent)
            return false;
        focus = *parent;
    }
    return false;
}

}  // namespace dorvane::x11
