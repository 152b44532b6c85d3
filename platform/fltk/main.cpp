// SPDX-License-Identifier: MIT
// Dorvane on a Linux desktop: the command line is read (platform/start_options.h), the program
// goes to the game's folder, the main window is built, loads the catalogue (showing the
// first-run message before it appears), and is then shown and driven by the user's events.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "mainwindow/dorvane.h"
#include "platform/fltk/choose_folder.h"
#include "platform/fltk/services.h"
#include "platform/start_options.h"
#include "platform/x11/startup_notice.h"

#include <FL/x.H>  // last: its X11 macros clash with the program's names

namespace {

// The desktop's startup notification id this program was started with, if any. It is its
// own: the programs it starts get ids of their own, not this one.
std::string take_startup_id() {
    const char* id = std::getenv("DESKTOP_STARTUP_ID");
    std::string taken = id ? id : "";
    unsetenv("DESKTOP_STARTUP_ID");
    return taken;
}

bool enter_folder(const std::string& folder) {
    if (chdir(folder.c_str()) == 0)
        return true;
    std::fprintf(stderr, "dorvane: cannot use the folder %s: %s\n", folder.c_str(),
                 std::strerror(errno));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    using dorvane::StartOptions;
    const StartOptions options =
        dorvane::parse_start_options(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
        case StartOptions::Action::Help:
            std::fputs(dorvane::usage_text("dorvane").c_str(), stdout);
            return 0;
        case StartOptions::Action::Version:
            std::fputs(dorvane::version_text().c_str(), stdout);
            return 0;
        case StartOptions::Action::Refuse:
            std::fprintf(stderr, "dorvane: %s (see dorvane --help)\n", options.problem.c_str());
            return dorvane::kUsageStatus;
        case StartOptions::Action::Run:
        case StartOptions::Action::ChooseFolder:
            break;
    }
    if (!options.folder.empty() && !enter_folder(options.folder))
        return dorvane::kUsageStatus;

    const std::string startup_id = take_startup_id();
    dorvane::fltk::FltkServices services;
    // The program's first window (the chooser, the first-run message or the main window) is
    // shown next: the desktop need not wait for it any longer.
    dorvane::x11::end_startup(fl_display, startup_id);
    if (options.action == StartOptions::Action::ChooseFolder) {
        std::optional<std::string> folder = dorvane::fltk::choose_game_folder();
        if (!folder)
            return 0;
        if (!enter_folder(*folder))
            return dorvane::kUsageStatus;
    }
    dorvane::Dorvane main_window(services);
    // Ended from outside (a logout's SIGTERM, SIGINT, SIGHUP, the X server gone), the program
    // saves and ends as when its window is closed: the selection and the colours live only in
    // memory until then. Before the load has filled the state there is nothing to save.
    bool loaded = false;
    services.end_from_outside([&] {
        if (loaded)
            main_window.Quit_Click();
        services.end_program();
    });
    services.route([&main_window, &loaded] {
        main_window.Form_Load();
        loaded = true;
        main_window.visible = true;
    });
    return services.run();
}
