// SPDX-License-Identifier: MIT
#include "platform/x11/keys.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <vector>

namespace dorvane::x11 {

namespace {

struct Stroke {
    KeyCode code;
    bool shift;
};

KeySym keysym_of(char c) {
    switch (c) {
        case '\n':
        case '\r':
            return XK_Return;
        case '\t':
            return XK_Tab;
        default:
            // Printable ASCII characters are their own keysyms.
            return c >= 0x20 && c < 0x7f ? static_cast<KeySym>(c) : NoSymbol;
    }
}

bool stroke_for(Display* display, char c, Stroke& stroke) {
    KeySym sym = keysym_of(c);
    if (sym == NoSymbol)
        return false;
    KeyCode code = XKeysymToKeycode(display, sym);
    if (code == 0)
        return false;
    int per_code = 0;
    KeySym* syms = XGetKeyboardMapping(display, code, 1, &per_code);
    if (!syms)
        return false;
    KeySym plain = syms[0];
    KeySym shifted = per_code > 1 ? syms[1] : NoSymbol;
    XFree(syms);
    if (shifted == NoSymbol) {
        KeySym lower, upper;
        XConvertCase(plain, &lower, &upper);
        shifted = upper;
    }
    stroke = {code, sym != plain && sym == shifted};
    return true;
}

}  // namespace

bool modifiers_held(Display* display) {
    Window root, child;
    int root_x, root_y, x, y;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &root_x, &root_y, &x, &y,
                  &mask);
    return (mask & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask)) != 0;
}

bool type_keys(Display* display, const std::string& keys) {
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(display, &event_base, &error_base, &major, &minor))
        return false;
    std::vector<Stroke> strokes;
    for (char c : keys) {
        Stroke stroke{};
        if (!stroke_for(display, c, stroke))
            return false;
        strokes.push_back(stroke);
    }
    KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const Stroke& stroke : strokes) {
        if (stroke.shift)
            XTestFakeKeyEvent(display, shift, True, CurrentTime);
        XTestFakeKeyEvent(display, stroke.code, True, CurrentTime);
        XTestFakeKeyEvent(display, stroke.code, False, CurrentTime);
        if (stroke.shift)
            XTestFakeKeyEvent(display, shift, False, CurrentTime);
    }
    XSync(display, False);
    return true;
}

}  // namespace dorvane::x11
