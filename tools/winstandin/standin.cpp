// SPDX-License-Identifier: MIT
// A stand-in for the game's programs on Windows: logs to standin.log in the current folder its
// command line, how its window was shown and every key, after the millisecond tick and its pid.
// DORVANE_STANDIN_DELAY=s: wait first; EXIT=n: exit with n; NO_WINDOW=1: a minute, no window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

FILE* log_file = nullptr;

void log_line(const std::wstring& line) {
    char utf8[65536] = "";
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    if (log_file)
        std::fprintf(log_file, "%llu %lu %s\n", static_cast<unsigned long long>(GetTickCount64()),
                     GetCurrentProcessId(), utf8);
}

LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR)
        log_line(L"key " + std::wstring(1, static_cast<wchar_t>(wp)));
    else if (msg == WM_DESTROY)
        PostQuitMessage(0);
    else
        return DefWindowProcW(hwnd, msg, wp, lp);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    log_file = _wfopen(L"standin.log", L"ab");  // binary: Unix line ends, for grep
    if (log_file)
        setvbuf(log_file, nullptr, _IONBF, 0);
    log_line(std::wstring(L"command ") + GetCommandLineW());
    wchar_t knob[32];
    if (GetEnvironmentVariableW(L"DORVANE_STANDIN_DELAY", knob, 32))
        Sleep(static_cast<DWORD>(_wtof(knob) * 1000));
    if (GetEnvironmentVariableW(L"DORVANE_STANDIN_EXIT", knob, 32))
        return _wtoi(knob);
    if (GetEnvironmentVariableW(L"DORVANE_STANDIN_NO_WINDOW", knob, 32) && knob[0] == L'1') {
        Sleep(60000);
        return 0;
    }
    WNDCLASSW wc{.lpfnWndProc = proc,
                 .hInstance = instance,
                 .hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                 .lpszClassName = L"DorvaneStandin"};
    RegisterClassW(&wc);
    HWND hwnd =
        CreateWindowW(wc.lpszClassName, GetCommandLineW(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, show);
    log_line(IsZoomed(hwnd) ? L"shown maximised" : L"shown normal");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
