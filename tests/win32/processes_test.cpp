// SPDX-License-Identifier: MIT
// The launch contract's cases through the engine on the Win32 driver and the Windows stand-in
// (under Wine in a virtual X server), with a window of the test's own in the place of the
// launcher's, in front at the start; and where the driver looks for a program.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "launcher/launch_cases.h"
#include "platform/win32/launch_driver.h"
#include "platform/win32/text.h"
#include "support/temp_folder.h"

namespace dorvane::win32 {
namespace {

using testing::Behaviour;

int g_launcher_keys = 0;

LRESULT CALLBACK launcher_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN || msg == WM_CHAR)
        ++g_launcher_keys;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void pump_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Polls `condition`, taking this thread's messages meanwhile, for up to `seconds`.
template <class F>
bool wait_until(F condition, double seconds = 10) {
    ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    while (true) {
        pump_messages();
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
}

// The stand-in built beside this test; Wine sees the build folder under drive Z:.
std::wstring standin_path() {
    std::string path = DORVANE_WINSTANDIN;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    return widen(path);
}

// The driver without the backend's loop: the test's own loop follows launches up.
struct TestDriver : Win32LaunchDriver {
    void follow_up_soon() override {}
    void run_as_event(const std::function<void()>& report) override { report(); }
};

class Win32Launch : public ::testing::Test, public testing::LaunchRig {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, old_cwd_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder.path().wstring().c_str()));
        WNDCLASSW wc{};
        wc.lpfnWndProc = launcher_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"DorvaneLaunchTest";
        RegisterClassW(&wc);
        launcher = CreateWindowW(wc.lpszClassName, L"launcher", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 10, 10, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        bring_to_front(launcher);
        ASSERT_TRUE(wait_until([this] { return GetForegroundWindow() == launcher; }));
        g_launcher_keys = 0;
    }
    void TearDown() override {
        if (ctrl.joinable())
            ctrl.join();
        for (TaskId task : started_) {
            if (HANDLE p =
                    OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(task))) {
                TerminateProcess(p, 0);
                WaitForSingleObject(p, 5000);
                CloseHandle(p);
            }
        }
        DestroyWindow(launcher);
        pump_messages();
        SetCurrentDirectoryW(old_cwd_);
    }

    void install(const std::string& name, Behaviour behaviour) override {
        ASSERT_TRUE(CopyFileW(standin_path().c_str(), widen(name).c_str(), FALSE)) << name;
        behaviours[name] = behaviour;
    }
    launch::LaunchEngine& engine() override { return engine_; }
    Clock::time_point now() override { return Clock::now(); }
    std::optional<TaskId> start_program(const std::string& command_line) override {
        auto found = behaviours.find(program_of(command_line));
        set_knobs(found == behaviours.end() ? Behaviour::Window : found->second);
        std::optional<TaskId> task = engine_.start_program(command_line);
        set_knobs(Behaviour::Window);
        if (task)
            started_.push_back(*task);
        return task;
    }
    // What Win32Services' timer does between events.
    void run_events(double seconds) override {
        wait_until(
            [this] {
                if (engine_.pending())
                    engine_.follow_up();
                return false;
            },
            seconds);
    }
    // Pressed here, let go from another thread while the engine waits. Wine takes its key state
    // from the X server's when a window of its gets the X focus: the press comes after that.
    void hold_ctrl(std::chrono::milliseconds time) override {
        wait_until([] { return false; }, 0.3);
        INPUT press{};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = VK_CONTROL;
        SendInput(1, &press, sizeof press);
        ctrl = std::thread([time, press]() mutable {
            std::this_thread::sleep_for(time);
            press.ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(1, &press, sizeof press);
        });
    }
    // The stand-in's lines of one task: "<tick> <pid> <what> <rest>".
    struct Line {
        unsigned long long tick;
        std::string what, rest;
    };
    static std::vector<Line> lines_of(TaskId task) {
        std::vector<Line> out;
        std::ifstream log("standin.log");
        std::string text;
        while (std::getline(log, text)) {
            std::istringstream fields(text);
            Line line{};
            long pid = 0;
            if (fields >> line.tick >> pid >> line.what && pid == task) {
                fields >> line.rest;
                out.push_back(line);
            }
        }
        return out;
    }
    std::string keys_of(TaskId task, std::size_t count) override {
        std::string keys;
        wait_until([&] {
            keys.clear();
            for (const Line& line : lines_of(task)) {
                if (line.what == "key")
                    keys += line.rest;
            }
            return keys.size() >= count;
        });
        return keys;
    }
    // The stand-in notes "shown" once ShowWindow returned, which under Wine waits for the X
    // server to map the window; Windows calls the window visible before that.
    std::chrono::milliseconds reading_lag() const override {
        return std::chrono::milliseconds(150);
    }
    std::chrono::milliseconds keys_after_shown(TaskId task) override {
        std::optional<unsigned long long> shown, key;
        wait_until([&] {
            for (const Line& line : lines_of(task)) {
                if (line.what == "shown" && !shown)
                    shown = line.tick;
                if (line.what == "key" && !key)
                    key = line.tick;
            }
            return key.has_value();
        });
        if (!shown || !key)
            return std::chrono::milliseconds::min();
        return std::chrono::milliseconds(static_cast<long long>(*key - *shown));
    }
    bool in_front(TaskId task) override {
        return wait_until([task] {
            DWORD pid = 0;
            GetWindowThreadProcessId(GetForegroundWindow(), &pid);
            return static_cast<TaskId>(pid) == task;
        });
    }
    bool stray_keys() override {
        pump_messages();
        return g_launcher_keys > 0;
    }

    // The stand-in's knobs: its delay, exit status and whether it shows no window.
    static void set_knobs(Behaviour behaviour) {
        static const std::map<Behaviour, std::array<const wchar_t*, 3>> knobs{
            {Behaviour::Window, {}},
            {Behaviour::SlowWindow, {L"1.5", nullptr, nullptr}},
            {Behaviour::NoWindow, {nullptr, nullptr, L"1"}},
            {Behaviour::FailsAtOnce, {nullptr, L"3", nullptr}},
            {Behaviour::FailsLater, {L"1.5", L"3", nullptr}},
            {Behaviour::EndsWithoutWindow, {nullptr, L"0", nullptr}}};
        auto [delay, exit_code, no_window] = knobs.at(behaviour);
        SetEnvironmentVariableW(L"DORVANE_STANDIN_DELAY", delay);
        SetEnvironmentVariableW(L"DORVANE_STANDIN_EXIT", exit_code);
        SetEnvironmentVariableW(L"DORVANE_STANDIN_NO_WINDOW", no_window);
    }

    ::dorvane::testing::TempFolder folder;
    TestDriver driver;
    launch::LaunchEngine engine_{driver};
    std::map<std::string, Behaviour> behaviours;
    HWND launcher = nullptr;
    std::thread ctrl;

  private:
    std::vector<TaskId> started_;
    wchar_t old_cwd_[MAX_PATH] = L"";
};

DORVANE_LAUNCH_CASES(Win32Launch)

// Only the game's folder: cmd.exe lies on the search path, but not there.
TEST_F(Win32Launch, ProgramsAreFoundOnlyInTheCurrentFolder) {
    EXPECT_FALSE(start_program("cmd.exe /c exit"));
    EXPECT_FALSE(start_program(""));
    EXPECT_EQ(program_of("Build.exe my map.map"), "Build.exe");
    EXPECT_EQ(program_of("\"my game.exe\" -x"), "my game.exe");
}

}  // namespace
}  // namespace dorvane::win32
