// SPDX-License-Identifier: MIT
// The windows X tools cannot see inside Wine's virtual desktop. "probe wait TITLE [SECONDS]":
// waits for a visible top-level window titled TITLE and prints "x y width height" of its client
// area, then its static texts, one a line (exit 1 on time-out); "gone": until none is visible;
// "close": as its close box does; "probe front": the foreground window's title. ASCII only.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_title;
HWND g_found = nullptr;

std::string title_of(HWND hwnd) {
    char text[512] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

BOOL CALLBACK match(HWND hwnd, LPARAM) {
    g_found = IsWindowVisible(hwnd) && title_of(hwnd) == g_title ? hwnd : nullptr;
    return !g_found;
}

BOOL CALLBACK print_static(HWND hwnd, LPARAM) {
    char cls[64];
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && !title_of(hwnd).empty())
        std::printf("%s\n", title_of(hwnd).c_str());
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "front") {
        std::printf("%s\n", title_of(GetForegroundWindow()).c_str());
        return 0;
    }
    if (argc < 3)
        return 2;
    g_title = argv[2];
    const DWORD limit = static_cast<DWORD>((argc > 3 ? std::atof(argv[3]) : 20.0) * 1000);
    const DWORD begin = GetTickCount();
    while (true) {
        g_found = nullptr;
        EnumWindows(match, 0);
        if ((g_found != nullptr) == (command != "gone"))
            break;
        if (GetTickCount() - begin > limit)
            return 1;
        Sleep(50);
    }
    if (command == "close")
        return PostMessageW(g_found, WM_CLOSE, 0, 0) ? 0 : 1;
    if (command == "wait") {
        POINT origin{0, 0};
        ClientToScreen(g_found, &origin);
        RECT client;
        GetClientRect(g_found, &client);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        EnumChildWindows(g_found, print_static, 0);
    }
    return 0;
}
