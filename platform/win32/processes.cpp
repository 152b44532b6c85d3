// SPDX-License-Identifier: MIT
#include "platform/win32/processes.h"

#include <windows.h>

#include <chrono>
#include <vector>

#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

constexpr DWORD kProcessedWaitMs = 2000;  // for the focused window to take our keys

constexpr ULONGLONG ms(std::chrono::milliseconds duration) {
    return static_cast<ULONGLONG>(duration.count());
}

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
    for (auto& [task, launch] : started_)
        CloseHandle(launch.process);
}

std::optional<TaskId> Processes::start(const std::string& command_line) {
    // Forget the programs that ended, unless an activation still follows one.
    for (auto it = started_.begin(); it != started_.end();) {
        bool succeeded = false;
        if (it->first != pending_ && ended(it->second, succeeded)) {
            CloseHandle(it->second.process);
            it = started_.erase(it);
        } else {
            ++it;
        }
    }
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
    started_[task] = Launch{info.hProcess, GetTickCount64()};
    return task;
}

bool Processes::ended(const Launch& launch, bool& succeeded) const {
    if (WaitForSingleObject(launch.process, 0) != WAIT_OBJECT_0)
        return false;
    DWORD code = 1;
    succeeded = GetExitCodeProcess(launch.process, &code) && code == 0;
    return true;
}

bool Processes::bring_window(TaskId task) {
    HWND window = main_window_of(static_cast<DWORD>(task));
    if (!window)
        return false;
    // Not waiting for the foreground: under Windows' foreground lock the window may come to
    // the front only later, and the program runs either way. send_keys waits for it.
    bring_to_front(window);
    target_ = window;
    shown_at_ = std::chrono::steady_clock::now();
    return true;
}

bool Processes::activate(TaskId task) {
    target_ = nullptr;
    pending_.reset();
    report_late_ = true;
    auto it = started_.find(task);
    if (it == started_.end())
        return false;
    const Launch& launch = it->second;
    const ULONGLONG hold_end = GetTickCount64() + ms(launch::kActivateHold);
    // A program that has just been started may not have made its window yet.
    WaitForInputIdle(launch.process, static_cast<DWORD>(ms(launch::kActivateHold)));
    while (true) {
        bool succeeded = false;
        // Read before looking, so that a window shown just before the end is not missed.
        bool over = ended(launch, succeeded);
        if (bring_window(task))
            return true;
        if (over)
            return succeeded;
        if (GetTickCount64() >= hold_end) {
            pending_ = task;
            return true;
        }
        WaitForSingleObject(launch.process, static_cast<DWORD>(ms(launch::kPoll)));
    }
}

Processes::FollowUp Processes::follow_up() {
    if (!pending_)
        return FollowUp::Over;
    auto it = started_.find(*pending_);
    if (it == started_.end()) {
        pending_.reset();
        return FollowUp::Over;
    }
    bool succeeded = false;
    bool over = ended(it->second, succeeded);
    if (bring_window(it->first)) {
        pending_.reset();
        return FollowUp::Shown;
    }
    if (over) {
        pending_.reset();
        return succeeded || !report_late_ ? FollowUp::Over : FollowUp::Failed;
    }
    if (GetTickCount64() >= it->second.started + ms(launch::kWindowWait)) {
        pending_.reset();
        return FollowUp::Over;
    }
    return FollowUp::Waiting;
}

bool Processes::send_keys(const std::string& keys, std::chrono::milliseconds shown_for) {
    ULONGLONG deadline = GetTickCount64() + ms(launch::kKeysWait);
    // The window may not have shown yet: the activation goes on here, bounded.
    while (pending_ && !target_) {
        if (follow_up() != FollowUp::Waiting)
            break;
        if (GetTickCount64() >= deadline) {
            report_late_ = false;  // the launcher reports this failure itself
            return false;
        }
        Sleep(static_cast<DWORD>(ms(launch::kPoll)));
    }
    // The keys go to the program's window and nowhere else: wait until it is in front.
    if (!target_ || !IsWindow(target_))
        return false;
    // The time the window is given on the screen is not taken from the wait for the front.
    // The steady clock, not the tick count: its 16 ms steps would let the keys go early.
    // A Sleep may end a little early, hence the loop.
    for (auto now = std::chrono::steady_clock::now(); now < shown_at_ + shown_for;
         now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(shown_at_ + shown_for - now);
        deadline += ms(left);
        Sleep(static_cast<DWORD>(left.count()));
    }
    ULONGLONG asked = GetTickCount64();
    while (GetForegroundWindow() != target_) {
        if (GetTickCount64() >= deadline || !IsWindow(target_))
            return false;
        if (GetTickCount64() - asked >= 100) {
            bring_to_front(target_);
            asked = GetTickCount64();
        }
        Sleep(static_cast<DWORD>(ms(launch::kPoll)));
    }
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
            SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kProcessedWaitMs, &ignored);
        }
    }
    return true;
}

}  // namespace dorvane::win32
