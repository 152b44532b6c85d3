// SPDX-License-Identifier: MIT
// dorvane.exe: the program on Windows. It runs in the game's folder (its current folder).
#include <windows.h>

#include "mainwindow/dorvane.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Twips become pixels at the screen's real DPI; without this Windows would scale a 96-dpi
    // bitmap of the window and blur it.
    SetProcessDPIAware();

    int code = 0;
    {
        dorvane::win32::Backend backend(instance);
        dorvane::win32::Win32Services services(backend);
        dorvane::Dorvane main_window(services);
        // A main window the system would not make has ended the program already.
        if (!backend.ended())
            backend.route([&] { main_window.Form_Load(); });
        if (!backend.ended()) {
            main_window.visible = true;
            backend.sync_all();
            code = backend.run();
        }
    }
    return code;
}
