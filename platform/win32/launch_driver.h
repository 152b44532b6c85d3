// SPDX-License-Identifier: MIT
// The launch engine's driver on Windows (platform/launch_engine.h). Written for Windows'
// foreground rules, which are stricter than Wine's: only the process the user last worked with
// may hand the foreground on. What is particular to Windows:
//
// start_program: the command line is passed exactly as given; its first word names a program in
//   the current folder (not the folder of dorvane.exe nor the search path, which Windows would
//   try). The program is started maximised and may take the foreground itself. The task is its
//   process id.
// find_window: the first visible, unowned top-level window of the started process.
// holds_focus: the window is the foreground window.
// type_keys: SendInput, then waits until the window's thread has taken them out of its queue.
//
// The backend completes the driver with its message loop (follow_up_soon, run_as_event).
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/launch_engine.h"

namespace dorvane::win32 {

class Win32LaunchDriver : public launch::LaunchDriver {
  public:
    Win32LaunchDriver() = default;
    ~Win32LaunchDriver() override;
    Win32LaunchDriver(const Win32LaunchDriver&) = delete;
    Win32LaunchDriver& operator=(const Win32LaunchDriver&) = delete;

    std::optional<TaskId> start_program(const std::string& command_line) override;
    launch::TaskState state(TaskId task) override;
    void forget(TaskId task) override;
    std::optional<launch::WindowId> find_window(TaskId task) override;
    // Started maximised already: nothing more to ask.
    void maximise(launch::WindowId) override {}
    void raise(launch::WindowId window) override;
    bool holds_focus(launch::WindowId window) override;
    bool takes_keys(TaskId, launch::WindowId) override { return true; }
    bool modifiers_held() override;
    bool type_keys(launch::WindowId window, const std::string& keys) override;
    Clock::time_point now() override { return Clock::now(); }
    void sleep(std::chrono::milliseconds time) override;
    void launch_over(TaskId, bool) override {}

  private:
    std::map<TaskId, HANDLE> started_;  // the process handles
};

// Brings a top-level window to the front with the focus, within Windows' foreground rules: it
// succeeds at once while this process owns the user's last input, otherwise by sharing the
// input state of the thread that has the foreground now.
void bring_to_front(HWND hwnd);

// The program part of a command line: up to the first blank, or the text between leading quotes.
std::string program_of(const std::string& command_line);

}  // namespace dorvane::win32
