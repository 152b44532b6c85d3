// SPDX-License-Identifier: MIT
// Dorvane on a Linux desktop: the main window is built, loads the catalogue (showing the
// first-run message before it appears), and is then shown and driven by the user's events.
#include "mainwindow/dorvane.h"
#include "platform/fltk/services.h"

int main() {
    dorvane::fltk::FltkServices services;
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
