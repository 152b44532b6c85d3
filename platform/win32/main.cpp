// SPDX-License-Identifier: MIT
// dorvane.exe: the program on Windows. It runs in the game's folder (its current folder).
#include <windows.h>

#include <objbase.h>

#include "mainwindow/dorvane.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Twips become pixels at the screen's real DPI; without this Windows would scale a 96-dpi
    // bitmap of the window and blur it.
    SetProcessDPIAware();
    // The pictures are decoded through COM (Windows Imaging Component).
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int code = 0;
    {
        dorvane::win32::Backend backend(instance);
        dorvane::win32::Win32Services services(backend);
        dorvane::Dorvane main_window(services);
        // The session ending (a log off, a shut down) saves and ends as closing the window does;
        // before the load has filled the state there is nothing to save.
        bool loaded = false;
        backend.end_from_outside([&] {
            if (loaded)
                main_window.Quit_Click();
            services.end_program();
        });
        // A main window the system would not make has ended the program already.
        if (!backend.ended())
            backend.route([&] {
                main_window.Form_Load();
                loaded = true;
            });
        if (!backend.ended()) {
            main_window.visible = true;
            backend.sync_all();
            code = backend.run();
        }
    }
    CoUninitialize();
    return code;
}
