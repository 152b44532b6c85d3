// SPDX-License-Identifier: MIT
// Measures a program's start-up from the outside, as a user sees it: the time from starting
// it (just before fork and exec) to the moment its first top-level window shows a given colour
// at a given point, which a double-buffered window reaches in one copy at the end of its first
// complete paint; then stops the program and reports its peak memory.
//
// Usage: first_paint X Y RRGGBB TIMEOUT_MS -- PROGRAM [ARGS...]
// X, Y are pixels in the window's own area. Prints one line:
//   first_paint_ms=<ms> peak_rss_kib=<KiB>
// Exit status 0 on success, 1 when the colour did not show in time, 2 on a usage error.
//
// Meant for an X server without a window manager, where the program's window is a child of the
// root and its MapNotify reaches the root's substructure listeners.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double now_ms() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The window may not be viewable yet when its pixel is read; such reads simply fail.
int ignore_errors(Display*, XErrorEvent*) {
    return 0;
}

bool pixel_is(Display* display, Window window, int x, int y, unsigned long rgb) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return false;
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel == rgb;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7 || std::strcmp(argv[5], "--") != 0) {
        std::fprintf(stderr, "usage: %s X Y RRGGBB TIMEOUT_MS -- PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
    unsigned long rgb = std::strtoul(argv[3], nullptr, 16);
    double timeout = std::atof(argv[4]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no display\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    double start = now_ms();
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[6], argv + 6);
        _exit(127);
    }

    Window window = 0;
    bool painted = false;
    double painted_at = 0;
    while (now_ms() - start < timeout) {
        while (!window && XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root)
                window = event.xmap.window;
        }
        if (window && pixel_is(display, window, x, y, rgb)) {
            painted = true;
            painted_at = now_ms();
            break;
        }
        timespec pause{0, 100000};  // 0.1 ms between looks
        nanosleep(&pause, nullptr);
    }

    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    XCloseDisplay(display);
    if (!painted) {
        std::fprintf(stderr, "the colour did not show within %.0f ms\n", timeout);
        return 1;
    }
    std::printf("first_paint_ms=%.2f peak_rss_kib=%ld\n", painted_at - start, usage.ru_maxrss);
    return 0;
}
