// SPDX-License-Identifier: MIT
// Measures a Windows program's start-up from the outside, as a user sees it: the time from
// starting it (just before CreateProcess) to its first visible top-level window ("listed") and to
// the moment that window shows a given colour at a given point of its client area, children
// included ("painted"), the processor time it had used by then (its own, not the wineserver's:
// a busy machine changes it much less than the time on the clock), and its peak working set
// then and SETTLE_MS later, when what it does after its first paint is done; then ends it.
//
// Usage: first_paint X Y RRGGBB TIMEOUT_MS SETTLE_MS PROGRAM
// X, Y are pixels in the window's client area. Prints one line:
//   listed_ms=<ms> first_paint_ms=<ms> cpu_ms=<ms> peak_kib=<KiB> settled_peak_kib=<KiB>
// Exit status 0 on success, 1 when the colour did not show in time, 2 on a usage error.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double now_ms() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart * 1000.0 / frequency.QuadPart;
}

struct Find {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM data) {
    auto* find = reinterpret_cast<Find*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == find->process && IsWindowVisible(hwnd)) {
        find->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The pixel as the window shows it, its child windows included (no clipping to the parent).
bool pixel_is(HWND hwnd, int x, int y, COLORREF colour) {
    HDC dc = GetDCEx(hwnd, nullptr, DCX_CACHE);
    COLORREF shown = dc ? GetPixel(dc, x, y) : CLR_INVALID;
    if (dc)
        ReleaseDC(hwnd, dc);
    return shown == colour;
}

double cpu_ms(HANDLE process) {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(process, &created, &ended, &kernel, &user);
    auto ms = [](FILETIME t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

std::size_t peak_kib(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    return memory.PeakWorkingSetSize / 1024;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: first_paint X Y RRGGBB TIMEOUT_MS SETTLE_MS PROGRAM\n");
        return 2;
    }
    int x = _wtoi(argv[1]), y = _wtoi(argv[2]);
    unsigned long rgb = std::wcstoul(argv[3], nullptr, 16);
    COLORREF colour = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
    double timeout = _wtof(argv[4]);
    DWORD settle = _wtoi(argv[5]);
    const wchar_t* program = argv[6];
    std::wstring command = L"\"" + std::wstring(program) + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    double start = now_ms();
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
        return 2;
    }
    Find find{process.dwProcessId};
    double listed_at = 0, painted_at = 0, cpu = 0;
    while (now_ms() - start < timeout) {
        if (!find.found) {
            EnumWindows(match, reinterpret_cast<LPARAM>(&find));
            if (find.found)
                listed_at = now_ms();
        }
        if (find.found && pixel_is(find.found, x, y, colour)) {
            painted_at = now_ms();
            cpu = cpu_ms(process.hProcess);
            break;
        }
        Sleep(0);
    }

    std::size_t at_paint = peak_kib(process.hProcess);
    if (painted_at)
        Sleep(settle);
    std::size_t settled = peak_kib(process.hProcess);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!painted_at) {
        std::fprintf(stderr, "the colour did not show within %.0f ms\n", timeout);
        return 1;
    }
    std::printf(
        "listed_ms=%.2f first_paint_ms=%.2f cpu_ms=%.2f peak_kib=%zu settled_peak_kib=%zu\n",
        listed_at - start, painted_at - start, cpu, at_paint, settled);
    return 0;
}
