// SPDX-License-Identifier: MIT
#include "platform/win32/processes.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

constexpr DWORD kWindowWaitMs = 5000;  // for a started program to show its window
constexpr DWORD kFocusWaitMs = 2000;   // for that window to take the focus
constexpr DWORD kKeysWaitMs = 2000;    // for the focused window to take our keys

struct Search {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK take_main_window(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND main_window_of(DWORD pid) {
    Search search{pid};
    EnumWindows(take_main_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void add_key(std::vector<INPUT>& inputs, WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
}

}  // namespace

void bring_to_front(HWND hwnd) {
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    if (SetForegroundWindow(hwnd) && GetForegroundWindow() == hwnd)
        return;
    // Windows refused (the foreground lock): share the input state of the thread in front for
    // the moment of the change, which the lock lets through.
    DWORD me = GetCurrentThreadId();
    DWORD front = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    bool attached = front && front != me && AttachThreadInput(me, front, TRUE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    if (attached)
        AttachThreadInput(me, front, FALSE);
}

std::string program_of(const std::string& command_line) {
    if (!command_line.empty() && command_line[0] == '"') {
        auto end = command_line.find('"', 1);
        return command_line.substr(1, end == std::string::npos ? end : end - 1);
    }
    return command_line.substr(0, command_line.find(' '));
}

Processes::~Processes() {
    for (auto& [task, handle] : started_)
        CloseHandle(handle);
}

std::optional<TaskId> Processes::start(const std::string& command_line) {
    std::string program = program_of(command_line);
    wchar_t folder[MAX_PATH];
    DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
    if (program.empty() || n == 0 || n >= MAX_PATH)
        return std::nullopt;
    std::wstring application = std::wstring(folder, n) + L"\\" + widen(program);
    DWORD attributes = GetFileAttributesW(application.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;

    std::wstring line = widen(command_line);  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMAXIMIZED;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info))
        return std::nullopt;
    CloseHandle(info.hThread);
    // Lets the program take the foreground itself, as it may while starting.
    AllowSetForegroundWindow(info.dwProcessId);
    TaskId task = info.dwProcessId;
    started_[task] = info.hProcess;
    return task;
}

bool Processes::activate(TaskId task) {
    HANDLE process = nullptr;
    if (auto it = started_.find(task); it != started_.end()) {
        process = it->second;
        started_.erase(it);
    } else {
        process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                              static_cast<DWORD>(task));
    }
    if (!process)
        return false;
    DWORD pid = static_cast<DWORD>(task);

    // A program that has just been started may not have made its window yet.
    WaitForInputIdle(process, kWindowWaitMs);
    HWND window = nullptr;
    DWORD begin = GetTickCount();
    while (!(window = main_window_of(pid)) && GetTickCount() - begin < kWindowWaitMs) {
        if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0)
            break;  // it ended without a window
    }
    CloseHandle(process);
    if (!window)
        return false;

    bring_to_front(window);
    begin = GetTickCount();
    while (GetForegroundWindow() != window && GetTickCount() - begin < kFocusWaitMs) {
        Sleep(20);
        bring_to_front(window);
    }
    return GetForegroundWindow() == window;
}

bool Processes::send_keys(const std::string& keys) {
    std::vector<INPUT> inputs;
    bool caps = GetKeyState(VK_CAPITAL) & 1;
    for (wchar_t ch : widen(keys)) {
        SHORT scan = VkKeyScanW(ch);
        if (scan == -1)
            return false;  // no key of this keyboard types it
        WORD vk = LOBYTE(scan);
        bool shift = HIBYTE(scan) & 1;
        if (caps && IsCharAlphaW(ch))
            shift = !shift;  // Caps Lock turns the letter's case already
        if (shift)
            add_key(inputs, VK_SHIFT, false);
        add_key(inputs, vk, false);
        add_key(inputs, vk, true);
        if (shift)
            add_key(inputs, VK_SHIFT, true);
    }
    if (inputs.empty())
        return true;
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        return false;
    // The keys reach the focused window's queue on their own time; once its thread has answered
    // two messages sent after them, it has had them in its queue and taken them out.
    HWND front = GetForegroundWindow();
    if (front) {
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR ignored;
            Sleep(10);
            SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kKeysWaitMs, &ignored);
        }
    }
    return true;
}

}  // namespace dorvane::win32
