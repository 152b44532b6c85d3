// SPDX-License-Identifier: MIT
// Dorvane on a Linux desktop: the main window is built, loads the catalogue (showing the
// first-run message before it appears), and is then shown and driven by the user's events.
#include "mainwindow/dorvane.h"
#include "platform/fltk/services.h"

int main() {
    dorvane::fltk::FltkServices services;
    dorvane::Dorvane main_window(services);
    services.route([&main_window] {
        main_window.Form_Load();
        main_window.visible = true;
    });
    return services.run();
}
