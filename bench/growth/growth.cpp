// SPDX-License-Identifier: MIT
// How the folder's size weighs on the program: a save of the database (flushed to disk), the
// launcher's lookup of a map's real name, and the map file picker's opening, each in game
// folders of 100, 10,000 and 100,000 files, through the real backend. Reported, never asserted.
//
// Usage (on a display; run.py gives it a virtual one): growth [RUNS] [SIZES...]
//
// Each folder holds the catalogue and, apart from it, files named like maps ("*.map"), so that
// the picker lists nearly all of them: the worst case for the picker. Three lookups are timed: a
// stored name that exists as it is, one whose file is in capitals on disk, and one in mixed
// case. "whole listing" is what a lookup cost when it listed the folder, for comparison.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/database.h"
#include "mainwindow/addmaps.h"
#include "mainwindow/dorvane.h"
#include "platform/fltk/services.h"
#include "support/temp_folder.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

namespace {

using namespace dorvane;

// Wall-clock time, and the CPU time of this thread, which other loads on the machine barely
// change (a save's wait for the disk is in the first only).
struct Spread {
    double min, median, max, cpu_median;
};

double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

Spread time_runs(int runs, const std::function<void()>& step,
                 const std::function<void()>& between = {}) {
    std::vector<double> ms, cpu;
    for (int i = 0; i < runs; ++i) {
        if (between)
            between();
        auto start = std::chrono::steady_clock::now();
        double cpu_start = cpu_ms();
        step();
        cpu.push_back(cpu_ms() - cpu_start);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    return {ms.front(), ms[ms.size() / 2], ms.back(), cpu[cpu.size() / 2]};
}

void fill_folder(const std::filesystem::path& folder, int files) {
    for (int i = 0; i < files - 4; ++i) {
        std::string name = (folder / ("map" + std::to_string(100000 + i) + ".map")).string();
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    for (const char* name : {"e1l8.map", "E2L3.MAP", "E4l1.Map"}) {
        int fd = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

// Runs the event loop until `done` holds; false after ten seconds.
bool settle_until(const std::function<bool()>& done) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Fl::wait(0.001);
    }
    return true;
}

Fl_Window* window_titled(const char* title) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (w->label() && std::string(w->label()) == title)
            return w;
    }
    return nullptr;
}

void print(const char* what, int files, Spread s) {
    std::printf("  %-33s %7d files  min %8.3f  median %8.3f  max %8.3f  cpu %8.3f ms\n", what,
                files, s.min, s.median, s.max, s.cpu_median);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {100, 10000, 100000};
    auto home = std::filesystem::current_path();
    State full = first_run_record();
    for (int k = 0; k < kSlots; ++k)
        full.maps[k].mapname = "map" + std::to_string(100000 + k) + ".map";
    std::vector<std::unique_ptr<testing::TempFolder>> folders;
    for (int files : sizes) {
        folders.push_back(std::make_unique<testing::TempFolder>());
        fill_folder(folders.back()->path(), files);
        folders.back()->write(kDatabaseFile, format_database(full, Numbering::ByMapnum));
    }

    // One program for every folder: it works on the current folder, whichever that is.
    std::filesystem::current_path(folders.front()->path());
    fltk::FltkServices services;
    Dorvane main_window(services);
    FileService& disk = Services(services).files;
    services.route([&] {
        main_window.Form_Load();
        main_window.visible = true;
    });
    std::printf("%d runs each: wall-clock min, median, max, and the median CPU time\n", runs);
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        int files = sizes[i];
        std::filesystem::current_path(folders[i]->path());
        print("save (flushed to disk)", files, time_runs(runs, [&] {
                  if (!write_database(main_window.state, Numbering::ByMapnum, {disk, services}))
                      std::fprintf(stderr, "the save failed\n");
              }));
        print("lookup, name exists as stored", files,
              time_runs(runs, [&] { (void)disk.real_name("e1l8.map"); }));
        print("lookup, file in capitals", files,
              time_runs(runs, [&] { (void)disk.real_name("e2l3.map"); }));
        print("lookup, file in mixed case", files,
              time_runs(runs, [&] { (void)disk.real_name("e4l1.map"); }));
        print("  (whole listing, for comparison)", files,
              time_runs(runs, [&] { (void)disk.list_files("*", Hidden::Listed); }));

        // The picker: from Add Map to its window shown with the list painted, again and again
        // (hidden in between, so that every opening reads the folder afresh).
        auto open_picker = [&] {
            services.route([&] { main_window.Addmap_Click(); });
            settle_until([&] {
                Fl_Window* w = window_titled("Add Map");
                return w && w->visible() && !w->damage();
            });
            XSync(fl_display, False);
        };
        auto hide_picker = [&] {
            if (main_window.addmaps)
                services.route([&] { main_window.addmaps->visible = false; });
            settle_until([&] {
                Fl_Window* w = window_titled("Add Map");
                return !w || !w->visible();
            });
            XSync(fl_display, False);
        };
        hide_picker();
        print("picker, opening", files, time_runs(runs, open_picker, hide_picker));
        hide_picker();
    }
    std::filesystem::current_path(home);
    return 0;
}
