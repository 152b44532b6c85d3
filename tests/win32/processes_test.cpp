// SPDX-License-Identifier: MIT
// The launch contract's cases on the Win32 driver and the Windows stand-in (under Wine), with a
// window of the test's own in the place of the launcher's, in front at the start.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "launcher/launch_cases.h"
#include "platform/win32/launch_driver.h"
#include "support/temp_folder.h"

namespace dorvane::win32 {
namespace {

using namespace testing;  // where the case set is

// The stand-in built beside this test; Wine sees the build folder under drive Z:.
const std::string kStandin =
    (DORVANE_WINSTANDIN[0] == '/' ? "Z:" : "") + std::string(DORVANE_WINSTANDIN);
int g_launcher_keys = 0;

LRESULT CALLBACK launcher_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    g_launcher_keys += msg == WM_KEYDOWN || msg == WM_CHAR;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Polls `condition`, taking this thread's messages meanwhile, for up to `seconds`.
bool wait_until(const std::function<bool()>& condition, double seconds = 10) {
    for (ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);; Sleep(20)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
    }
}

class Win32Launch : public ::testing::Test, public testing::LaunchRig {
  protected:
    void SetUp() override {
        GetCurrentDirectoryW(MAX_PATH, old_cwd_);
        ASSERT_TRUE(SetCurrentDirectoryW(folder.path().wstring().c_str()));
        WNDCLASSW wc{.lpfnWndProc = launcher_proc,
                     .hInstance = GetModuleHandleW(nullptr),
                     .lpszClassName = L"DorvaneLaunchTest"};
        RegisterClassW(&wc);
        launcher = CreateWindowW(wc.lpszClassName, L"launcher", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 10, 10, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        bring_to_front(launcher);
        ASSERT_TRUE(wait_until([this] { return GetForegroundWindow() == launcher; }));
        g_launcher_keys = 0;
    }
    void TearDown() override {
        for (TaskId task : started_) {
            HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, DWORD(task));
            TerminateProcess(p, 0);  // none: both fail harmlessly
            WaitForSingleObject(p, 5000);
            CloseHandle(p);
        }
        DestroyWindow(launcher);
        SetCurrentDirectoryW(old_cwd_);  // the folder cannot go while it is the current one
    }

    launch::LaunchEngine& engine() override { return engine_; }
    Clock::time_point now() override { return Clock::now(); }
    std::optional<TaskId> start(const std::string& name,
                                std::optional<Behaviour> behaviour) override {
        if (behaviour)  // a copy there already is kept: it may be running
            CopyFileA(kStandin.c_str(), name.c_str(), TRUE);
        testing::set_knobs(behaviour.value_or(Behaviour::Window), SetEnvironmentVariableA);
        std::optional<TaskId> task = engine_.start_program(name + " -map e1l8.map");
        testing::set_knobs(Behaviour::Window, SetEnvironmentVariableA);
        if (task)
            started_.push_back(*task);
        return task;
    }
    void run_events(double seconds) override {
        wait_until(
            [this] {
                if (engine_.pending())
                    engine_.follow_up();
                return false;
            },
            seconds);
    }
    // From the stand-in's log, "<tick> <pid> <what> <rest>" a line. Its "shown" comes once Wine's
    // ShowWindow saw the X server map the window, after Windows calls it visible: a reading lag.
    Keys keys_of(TaskId task) override {
        Keys keys;
        wait_until([&] {
            keys = {"", milliseconds::min()};
            std::ifstream log("standin.log");
            std::optional<long long> shown;
            for (std::string line; std::getline(log, line);) {
                std::istringstream fields(line);
                long long tick = 0, pid = 0;
                std::string what, rest;
                if (!(fields >> tick >> pid >> what >> rest) || pid != task)
                    continue;
                if (what == "shown" && !shown)
                    shown = tick;
                if (what == "key" && keys.text.empty() && shown)
                    keys.after_shown = milliseconds(tick - *shown);
                keys.text += what == "key" ? rest : "";
            }
            return !keys.text.empty();
        });
        return keys;
    }
    milliseconds reading_lag() const override { return milliseconds(150); }
    bool in_front(TaskId task) override {
        return wait_until([task] {
            DWORD pid = 0;
            GetWindowThreadProcessId(GetForegroundWindow(), &pid);
            return TaskId(pid) == task;
        });
    }
    bool stray_keys() override {
        return !wait_until([] { return g_launcher_keys == 0; }, 0);
    }
    // Pressed here, let go from another thread while the engine waits. Wine takes its key state
    // from the X server's when a window of its gets the X focus: the press comes after that.
    void hold_ctrl(milliseconds time) override {
        wait_until([] { return false; }, 0.3);
        INPUT press{.type = INPUT_KEYBOARD, .ki = {.wVk = VK_CONTROL}};
        SendInput(1, &press, sizeof press);
        ctrl = std::jthread([time, press]() mutable {
            std::this_thread::sleep_for(time);
            press.ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(1, &press, sizeof press);
        });
    }

    ::dorvane::testing::TempFolder folder;
    testing::LoopFree<Win32LaunchDriver> driver;
    launch::LaunchEngine engine_{driver};
    HWND launcher = nullptr;
    std::jthread ctrl;  // joined as the test ends
    std::vector<TaskId> started_;
    wchar_t old_cwd_[MAX_PATH] = L"";
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, LaunchCases, Win32Launch);

// Only the game's folder: cmd.exe lies on the search path, but not there.
TEST_F(Win32Launch, ProgramsAreFoundOnlyInTheCurrentFolder) {
    EXPECT_FALSE(engine_.start_program("cmd.exe /c exit"));
    EXPECT_FALSE(engine_.start_program(""));
    EXPECT_EQ(program_of("Build.exe my map.map"), "Build.exe");
    EXPECT_EQ(program_of("\"my game.exe\" -x"), "my game.exe");
}

}  // namespace
}  // namespace dorvane::win32
