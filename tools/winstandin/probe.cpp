// SPDX-License-Identifier: MIT
// The windows X tools cannot see inside Wine's virtual desktop. "probe wait TITLE [SECONDS]":
// waits for a visible top-level window titled TITLE and prints "x y width height" of its client
// area, then its static texts, one a line (exit 1 on time-out); "gone": until none is visible;
// "close": as its close box does; "probe front": the foreground window's title.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_title;
HWND g_found = nullptr;

std::string title_of(HWND hwnd) {
    wchar_t text[512] = L"";
    char utf8[2048] = "";
    GetWindowTextW(hwnd, text, 512);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

BOOL CALLBACK match(HWND hwnd, LPARAM) {
    g_found = IsWindowVisible(hwnd) && title_of(hwnd) == g_title ? hwnd : nullptr;
    return !g_found;
}

BOOL CALLBACK print_static(HWND hwnd, LPARAM) {
    wchar_t cls[64];
    GetClassNameW(hwnd, cls, 64);
    if (lstrcmpiW(cls, L"Static") == 0 && !title_of(hwnd).empty())
        std::printf("%s\n", title_of(hwnd).c_str());
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"front") {
        std::printf("%s\n", title_of(GetForegroundWindow()).c_str());
        return 0;
    }
    if (argc < 3)
        return 2;
    char title[2048] = "";
    WideCharToMultiByte(CP_UTF8, 0, argv[2], -1, title, sizeof title, nullptr, nullptr);
    g_title = title;
    const DWORD limit = static_cast<DWORD>((argc > 3 ? _wtof(argv[3]) : 20.0) * 1000);
    const DWORD begin = GetTickCount();
    while (true) {
        g_found = nullptr;
        EnumWindows(match, 0);
        if ((g_found != nullptr) == (command != L"gone"))
            break;
        if (GetTickCount() - begin > limit)
            return 1;
        Sleep(50);
    }
    if (command == L"close")
        return PostMessageW(g_found, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == L"wait") {
        POINT origin{0, 0};
        ClientToScreen(g_found, &origin);
        RECT client;
        GetClientRect(g_found, &client);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        EnumChildWindows(g_found, print_static, 0);
    }
    return 0;
}
