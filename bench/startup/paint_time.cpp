// SPDX-License-Identifier: MIT
// The cost of painting the main window in the real backend: the paint handler alone drawing on
// the window through the backend's canvas, and a whole repaint (handler, every control, copy
// to the screen), each timed to completion in the X server.
//
// Usage (in a game folder, on a display): paint_time [REPEATS]
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/fltk/canvas.h"
#include "platform/fltk/services.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F>
std::vector<double> time_runs(int repeats, F f) {
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        auto start = std::chrono::steady_clock::now();
        f();
        XSync(fl_display, False);  // the drawing is done only once the server has done it
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::atoi(argv[1]) : 500;
    dorvane::fltk::FltkServices services;
    dorvane::Dorvane main_window(services);
    services.route([&] {
        main_window.Form_Load();
        main_window.visible = true;
    });
    Fl_Window* window = Fl::first_window();
    while (!window->visible() || window->damage())
        Fl::wait(0.01);
    Fl::flush();

    window->make_current();
    dorvane::fltk::FltkCanvas canvas(
        *window, services.scale(), window->h() - 436 * static_cast<int>(services.scale().factor()),
        dorvane::fltk::frame_extents(*window));
    auto handler = time_runs(repeats, [&] { main_window.Form_Paint(canvas); });
    auto whole = time_runs(repeats, [&] {
        window->redraw();
        Fl::flush();
    });
    std::printf("paint handler alone: median %.3f ms, max %.3f ms\n", median(handler),
                *std::max_element(handler.begin(), handler.end()));
    std::printf("whole repaint of the main window: median %.3f ms, max %.3f ms\n", median(whole),
                *std::max_element(whole.begin(), whole.end()));
    services.end_program();
}
