// SPDX-License-Identifier: MIT
#include "platform/win32/launch_driver.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

constexpr DWORD kProcessedWaitMs = 2000;  // for the focused window to take our keys

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

Win32LaunchDriver::~Win32LaunchDriver() {
    for (auto& [task, process] : started_)
        CloseHandle(process);
}

std::optional<TaskId> Win32LaunchDriver::start_program(const std::string& command_line) {
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

launch::TaskState Win32LaunchDriver::state(TaskId task) {
    auto found = started_.find(task);
    if (found == started_.end())
        return launch::TaskState::Unknown;
    if (WaitForSingleObject(found->second, 0) != WAIT_OBJECT_0)
        return launch::TaskState::Running;
    DWORD code = 1;
    return GetExitCodeProcess(found->second, &code) && code == 0 ? launch::TaskState::EndedOk
                                                                 : launch::TaskState::EndedFailed;
}

void Win32LaunchDriver::forget(TaskId task) {
    auto found = started_.find(task);
    if (found == started_.end())
        return;
    CloseHandle(found->second);
    started_.erase(found);
}

std::optional<launch::WindowId> Win32LaunchDriver::find_window(TaskId task) {
    // A program that has just been started may show its window before it takes input.
    auto found = started_.find(task);
    if (found != started_.end() && WaitForInputIdle(found->second, 0) == WAIT_TIMEOUT)
        return std::nullopt;
    HWND window = main_window_of(static_cast<DWORD>(task));
    if (!window)
        return std::nullopt;
    return reinterpret_cast<launch::WindowId>(window);
}

namespace {

HWND hwnd_of(launch::WindowId window) {
    return reinterpret_cast<HWND>(window);
}

}  // namespace

void Win32LaunchDriver::raise(launch::WindowId window) {
    bring_to_front(hwnd_of(window));
}

bool Win32LaunchDriver::holds_focus(launch::WindowId window) {
    return IsWindow(hwnd_of(window)) && GetForegroundWindow() == hwnd_of(window);
}

bool Win32LaunchDriver::modifiers_held() {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) {
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    }
    return false;
}

void Win32LaunchDriver::sleep(std::chrono::milliseconds time) {
    Sleep(static_cast<DWORD>(time.count()));
}

bool Win32LaunchDriver::type_keys(launch::WindowId window, const std::string& keys) {
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
    if (HWND front = hwnd_of(window)) {
        for (int round = 0; round < 2; ++round) {
            DWORD_PTR ignored;
            Sleep(10);
            SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kProcessedWaitMs, &ignored);
        }
    }
    return true;
}

}  // namespace dorvane::win32
