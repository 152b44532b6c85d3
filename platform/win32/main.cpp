// SPDX-License-Identifier: MIT
// dorvane.exe: the program on Windows. It runs in the game's folder: the one named on its
// command line, or its current folder (platform/start_options.h).
#include <windows.h>

#include <string>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/start_options.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"
#include "platform/win32/text.h"

namespace {

// A program of the GUI subsystem has no console of its own: the text goes to the handle it was
// given (a redirection, or Wine's terminal), else to the console it was started from, else into
// a message box.
void tell(DWORD which, const std::string& text) {
    HANDLE out = GetStdHandle(which);
    if (!out || out == INVALID_HANDLE_VALUE) {
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    }
    DWORD written = 0;
    if (!out || out == INVALID_HANDLE_VALUE ||
        !WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        MessageBoxW(nullptr, dorvane::win32::widen(text).c_str(), L"Dorvane", MB_OK);
}

// The C runtime's own split of the command line, in UTF-16: it is in msvcrt already, where
// CommandLineToArgvW would load shell32 at every start.
extern "C" int __wgetmainargs(int* count, wchar_t*** words, wchar_t*** environment, int expand,
                              int* start_info);

std::vector<std::string> command_words() {
    std::vector<std::string> words;
    int count = 0;
    wchar_t** args = nullptr;
    wchar_t** environment = nullptr;
    int start_info = 0;
    if (__wgetmainargs(&count, &args, &environment, 0, &start_info) == 0 && args)
        for (int i = 1; i < count; ++i)
            words.push_back(dorvane::win32::narrow(args[i]));
    return words;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using dorvane::StartOptions;
    const StartOptions options = dorvane::parse_start_options(command_words());
    switch (options.action) {
        case StartOptions::Action::Help:
            tell(STD_OUTPUT_HANDLE, dorvane::usage_text("dorvane.exe"));
            return 0;
        case StartOptions::Action::Version:
            tell(STD_OUTPUT_HANDLE, dorvane::version_text());
            return 0;
        case StartOptions::Action::Refuse:
            tell(STD_ERROR_HANDLE, "dorvane: " + options.problem + " (see dorvane.exe --help)\n");
            return dorvane::kUsageStatus;
        case StartOptions::Action::ChooseFolder:
            tell(STD_ERROR_HANDLE,
                 "dorvane: --choose-folder is not available on Windows; give the game's folder "
                 "instead, or start dorvane.exe in it\n");
            return dorvane::kUsageStatus;
        case StartOptions::Action::Run:
            break;
    }
    if (!options.folder.empty() &&
        !SetCurrentDirectoryW(dorvane::win32::widen(options.folder).c_str())) {
        tell(STD_ERROR_HANDLE, "dorvane: cannot use the folder " + options.folder + ": " +
                                   dorvane::win32::error_text(GetLastError()) + "\n");
        return dorvane::kUsageStatus;
    }

    // Twips become pixels at the screen's real DPI; without this Windows would scale a 96-dpi
    // bitmap of the window and blur it.
    SetProcessDPIAware();

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
    return code;
}
