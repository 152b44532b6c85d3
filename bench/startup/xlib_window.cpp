// SPDX-License-Identifier: MIT
// The floor for the program's start-up: a raw Xlib window that paints what the main window
// paints at its first showing (a menu-bar band, the 255-band gradient, 68 slot faces with their
// names, the nine buttons' faces and five captions) into a back buffer and copies it to the
// screen in one step, as a double-buffered window does. No toolkit, no input method, no client
// fonts: the X server's default font draws the strings.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 634, kMenu = 22, kHeight = 436 + kMenu;

unsigned long rgb(int r, int g, int b) {
    return static_cast<unsigned long>(r) << 16 | static_cast<unsigned long>(g) << 8 |
           static_cast<unsigned long>(b);
}

struct Face {
    int x, y, w, h;
    unsigned long colour;
    const char* caption;
};

void paint(Display* display, Window window, Pixmap buffer, GC gc) {
    XSetForeground(display, gc, rgb(192, 192, 192));
    XFillRectangle(display, buffer, gc, 0, 0, kWidth, kMenu);
    double band = (kHeight - kMenu + 21) / 255.0, y = kMenu;
    for (int k = 1; k <= 255; ++k) {
        int top = static_cast<int>(y + 0.5), bottom = static_cast<int>(y + band + 0.5);
        XSetForeground(display, gc, rgb(k, 0, k));
        XFillRectangle(display, buffer, gc, 0, top, kWidth, static_cast<unsigned>(bottom - top));
        y += band;
    }
    XSetForeground(display, gc, rgb(0, 0, 0));
    const char* menus =
        "File  |  With Maps  |  Without Maps  |  All Maps  |  Change Colors  |  Help";
    XDrawString(display, buffer, gc, 6, 15, menus, static_cast<int>(std::string(menus).size()));
    for (int k = 0; k < 68; ++k) {
        int x = 8 + 104 * (k % 4), top = kMenu + 8 + 24 * (k / 4), level = 255 - 15 * (k / 4);
        XSetForeground(display, gc, rgb(level, 0, level));
        XFillRectangle(display, buffer, gc, x, top, 97, 21);
        std::string name = "map" + std::to_string(k) + ".map";
        XSetForeground(display, gc, rgb(255, 255, 255));
        XDrawString(display, buffer, gc, x + 20, top + 15, name.c_str(),
                    static_cast<int>(name.size()));
    }
    const Face faces[] = {
        {424, 8, 73, 233, rgb(192, 192, 192), "Add Map"},
        {504, 8, 129, 41, rgb(255, 0, 0), "Run In Build"},
        {504, 104, 129, 41, rgb(0, 255, 0), "Run In Duke3d"},
        {504, 56, 129, 41, rgb(255, 255, 0), "Run In Setup"},
        {424, 248, 113, 121, rgb(0, 0, 255), "Random"},
        {504, 152, 129, 41, rgb(192, 192, 192), "Move Map"},
        {504, 200, 129, 41, rgb(192, 192, 192), "Clear Map Slot"},
        {424, 376, 209, 41, rgb(192, 192, 192), "Quit"},
        {552, 272, 65, 75, rgb(192, 192, 192), nullptr},
    };
    for (const Face& f : faces) {
        XSetForeground(display, gc, f.colour);
        XFillRectangle(display, buffer, gc, f.x, kMenu + f.y, static_cast<unsigned>(f.w),
                       static_cast<unsigned>(f.h));
        if (!f.caption)
            continue;
        XSetForeground(display, gc, rgb(0, 0, 0));
        XDrawString(display, buffer, gc, f.x + 8, kMenu + f.y + f.h / 2 + 4, f.caption,
                    static_cast<int>(std::string(f.caption).size()));
    }
    const Face labels[] = {
        {216, 416, 153, 17, 0, "COKE KICKS PEPSI'S ASS!!!!"},
        {32, 416, 89, 17, 0, "42 is the answer!!!"},
        {544, 248, 89, 17, 0, "My Dixie Wrecked"},
        {408, 416, 113, 17, 0, "Can thou readest this?"},
        {544, 352, 97, 17, 0, "Send me all your $$"},
    };
    XSetForeground(display, gc, rgb(190, 0, 190));
    for (const Face& f : labels)
        XDrawString(display, buffer, gc, f.x, kMenu + f.y + 12, f.caption,
                    static_cast<int>(std::string(f.caption).size()));
    XCopyArea(display, buffer, window, gc, 0, 0, kWidth, kHeight, 0, 0);
    XFlush(display);
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 1;
    }
    int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight,
                                        0, 0, rgb(192, 192, 192));
    XStoreName(display, window, "Xlib window");
    XSelectInput(display, window, ExposureMask);
    Pixmap buffer = XCreatePixmap(display, window, kWidth, kHeight,
                                  static_cast<unsigned>(DefaultDepth(display, screen)));
    GC gc = XCreateGC(display, buffer, 0, nullptr);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xexpose.count == 0)
            paint(display, window, buffer, gc);
    }
}
