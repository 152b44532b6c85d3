// SPDX-License-Identifier: MIT
#include "platform/x11/startup_notice.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace dorvane::x11 {

namespace {

std::string quoted(const std::string& value) {
    std::string out = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::string host_name() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "";
    return name;
}

}  // namespace

std::string startup_message(const std::string& kind,
                            const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string message = kind + ":";
    for (const auto& [key, value] : fields)
        message += " " + key + "=" + quoted(value);
    return message;
}

void send_startup_message(Display* display, const std::string& message) {
    Window root = DefaultRootWindow(display);
    // The receiver tells interleaved messages apart by the window they come from.
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    Window sender = XCreateWindow(display, root, -100, -100, 1, 1, 0, CopyFromParent, InputOnly,
                                  CopyFromParent, CWOverrideRedirect, &attributes);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = sender;
    event.xclient.format = 8;
    const Atom begin = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
    const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
    // The text with its terminating NUL, in pieces of 20 bytes; the last one padded with NULs.
    const std::size_t length = message.size() + 1;
    for (std::size_t at = 0; at < length; at += 20) {
        event.xclient.message_type = at == 0 ? begin : more;
        std::memset(event.xclient.data.b, 0, sizeof event.xclient.data.b);
        std::memcpy(event.xclient.data.b, message.data() + at,
                    std::min<std::size_t>(20, message.size() - std::min(at, message.size())));
        XSendEvent(display, root, False, PropertyChangeMask, &event);
    }
    XDestroyWindow(display, sender);
    XFlush(display);
}

void end_startup(Display* display, const std::string& id) {
    if (!id.empty())
        send_startup_message(display, startup_message("remove", {{"ID", id}}));
}

std::string StartupNotice::make_id(unsigned serial, unsigned long timestamp) {
    return "dorvane-" + std::to_string(getpid()) + "-" + std::to_string(serial) + "_TIME" +
           std::to_string(timestamp);
}

void StartupNotice::begin(Display* display, const std::string& id, pid_t pid,
                          const std::string& name, const std::string& window_class,
                          unsigned long timestamp) {
    id_ = id;
    std::vector<std::pair<std::string, std::string>> fields = {
        {"ID", id},
        {"NAME", name},
        {"SCREEN", std::to_string(DefaultScreen(display))},
        {"HOSTNAME", host_name()},
        {"PID", std::to_string(pid)},
        {"TIMESTAMP", std::to_string(timestamp)}};
    if (!window_class.empty())
        fields.push_back({"WMCLASS", window_class});
    send_startup_message(display, startup_message("new", fields));
}

void StartupNotice::end(Display* display) {
    end_startup(display, id_);
    id_.clear();
}

}  // namespace dorvane::x11
