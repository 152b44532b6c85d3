// SPDX-License-Identifier: MIT
#include "platform/x11/properties.h"

#include <X11/Xutil.h>

namespace dorvane::x11 {

std::vector<unsigned long> cardinals(Display* display, Window window, const char* property,
                                     Atom type, long most) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, most, False,
                           type, &actual, &format, &count, &after, &data) != Success)
        return values;
    // Xlib hands format-32 items as longs, whatever the machine's word size.
    if (data && actual == type && format == 32) {
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        values.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return values;
}

std::optional<std::string> text_property(Display* display, Window window, Atom property) {
    XTextProperty text{};
    if (!XGetTextProperty(display, window, &text, property) || !text.value)
        return std::nullopt;
    std::string value(reinterpret_cast<const char*>(text.value), text.nitems);
    XFree(text.value);
    return value;
}

namespace {

// One XQueryTree: the window's root and parent, and its children when `kids` is given.
bool query_tree(Display* display, Window window, Window& root, Window& parent,
                std::vector<Window>* kids) {
    Window* list = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &list, &count))
        return false;
    if (kids && list)
        kids->assign(list, list + count);
    if (list)
        XFree(list);
    return true;
}

}  // namespace

std::vector<Window> children(Display* display, Window window) {
    Window root = 0, parent = 0;
    std::vector<Window> kids;
    query_tree(display, window, root, parent, &kids);
    return kids;
}

std::optional<Window> parent_of(Display* display, Window window) {
    Window root = 0, parent = 0;
    if (!query_tree(display, window, root, parent, nullptr))
        return std::nullopt;
    return parent;
}

Window top_level_ancestor(Display* display, Window window, int depth) {
    Window current = window;
    for (int step = 0; step < depth; ++step) {
        Window root = 0, parent = 0;
        if (!query_tree(display, current, root, parent, nullptr))
            return window;
        if (parent == root || parent == 0)
            return current;
        current = parent;
    }
    return window;
}

}  // namespace dorvane::x11
