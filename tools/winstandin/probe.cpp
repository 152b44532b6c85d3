// SPDX-License-Identifier: MIT
// A test probe for the Windows program under Wine: the windows live inside Wine's virtual
// desktop, where X tools cannot see them, so this reports them.
//
//   probe wait TITLE [SECONDS]   waits until a visible top-level window has exactly TITLE;
//                                prints "x y width height" of its client area on the desktop,
//                                then its static texts, one a line; exit 1 on time-out
//   probe gone TITLE [SECONDS]   waits until no visible window has TITLE
//   probe close TITLE            asks the window with TITLE to close, as its close box does
//   probe front                  prints the title of the foreground window
//   probe list                   prints every visible top-level window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring title_of(HWND hwnd) {
    wchar_t text[512];
    int n = GetWindowTextW(hwnd, text, 512);
    return std::wstring(text, n > 0 ? n : 0);
}

struct Find {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM data) {
    auto* find = reinterpret_cast<Find*>(data);
    if (IsWindowVisible(hwnd) && title_of(hwnd) == find->title) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK print_static(HWND hwnd, LPARAM) {
    wchar_t cls[64];
    GetClassNameW(hwnd, cls, 64);
    std::wstring text = title_of(hwnd);
    if (lstrcmpiW(cls, L"Static") == 0 && !text.empty())
        std::printf("%s\n", utf8(text).c_str());
    return TRUE;
}

BOOL CALLBACK print_window(HWND hwnd, LPARAM) {
    if (!IsWindowVisible(hwnd))
        return TRUE;
    RECT r;
    GetWindowRect(hwnd, &r);
    std::printf("%ld %ld %ld %ld %s\n", r.left, r.top, r.right - r.left, r.bottom - r.top,
                utf8(title_of(hwnd)).c_str());
    return TRUE;
}

HWND find(const std::wstring& title) {
    Find f{title};
    EnumWindows(match, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring command = argc > 1 ? argv[1] : L"";
    std::wstring title = argc > 2 ? argv[2] : L"";
    DWORD limit = static_cast<DWORD>((argc > 3 ? _wtof(argv[3]) : 20.0) * 1000);
    DWORD begin = GetTickCount();
    if (command == L"wait") {
        HWND hwnd;
        while (!(hwnd = find(title))) {
            if (GetTickCount() - begin > limit)
                return 1;
            Sleep(50);
        }
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        RECT client;
        GetClientRect(hwnd, &client);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        EnumChildWindows(hwnd, print_static, 0);
        return 0;
    }
    if (command == L"gone") {
        while (find(title)) {
            if (GetTickCount() - begin > limit)
                return 1;
            Sleep(50);
        }
        return 0;
    }
    if (command == L"close") {
        HWND hwnd = find(title);
        return hwnd && PostMessageW(hwnd, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"front") {
        std::printf("%s\n", utf8(title_of(GetForegroundWindow())).c_str());
        return 0;
    }
    if (command == L"list") {
        EnumWindows(print_window, 0);
        return 0;
    }
    std::fprintf(stderr, "usage: probe wait|gone|close TITLE [SECONDS] | front | list\n");
    return 2;
}
