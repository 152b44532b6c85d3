// SPDX-License-Identifier: MIT
// Process services on Windows: start a program in the current folder, bring its window to the
// front, and type keys into the window that has the focus. Written for Windows' foreground
// rules, which are stricter than Wine's: only the process the user last worked with may hand
// the foreground on.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>

#include "platform/launch.h"
#include "platform/services.h"

namespace dorvane::win32 {

// They keep the launch contract of platform/launch.h. The task's window is the first visible,
// unowned top-level window of the started process. While an activation goes on after activate()
// returned, the caller calls follow_up() from its message loop until pending() is false.
class Processes {
  public:
    Processes() = default;
    ~Processes();
    Processes(const Processes&) = delete;
    Processes& operator=(const Processes&) = delete;

    // The command line is passed exactly as given; its first word names a program in the current
    // folder (not the folder of dorvane.exe nor the search path, which Windows would try).
    std::optional<TaskId> start(const std::string& command_line);
    bool activate(TaskId task);
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for);

    bool pending() const { return pending_.has_value(); }
    enum class FollowUp { Waiting, Shown, Failed, Over };
    // Looks once for the pending activation's window and brings it to the front when it is
    // there. Failed: the program ended with an error without showing a window; Over: it ended
    // otherwise, or its window did not show in time.
    FollowUp follow_up();

  private:
    struct Launch {
        HANDLE process;
        ULONGLONG started;  // tick count
    };
    // Brings the launch's window to the front if it has one now, and makes it the target.
    bool bring_window(TaskId task);
    // Whether the process has ended, and then how.
    bool ended(const Launch& launch, bool& succeeded) const;

    std::map<TaskId, Launch> started_;
    std::optional<TaskId> pending_;
    bool report_late_ = true;
    HWND target_ = nullptr;                           // the window keys go to
    std::chrono::steady_clock::time_point shown_at_;  // when the target was seen visible
};

// Brings a top-level window to the front with the focus, within Windows' foreground rules: it
// succeeds at once while this process owns the user's last input, otherwise by sharing the
// input state of the thread that has the foreground now.
void bring_to_front(HWND hwnd);

// The program part of a command line: up to the first blank, or the text between leading quotes.
std::string program_of(const std::string& command_line);

}  // namespace dorvane::win32
