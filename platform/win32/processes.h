// SPDX-License-Identifier: MIT
// Process services on Windows: start a program in the current folder, bring its window to the
// front, and type keys into the window that has the focus. Written for Windows' foreground
// rules, which are stricter than Wine's: only the process the user last worked with may hand
// the foreground on.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/services.h"

namespace dorvane::win32 {

class Processes {
  public:
    Processes() = default;
    ~Processes();
    Processes(const Processes&) = delete;
    Processes& operator=(const Processes&) = delete;

    // The command line is passed exactly as given; its first word names a program in the current
    // folder (not the folder of dorvane.exe nor the search path, which Windows would try).
    std::optional<TaskId> start(const std::string& command_line);
    // Waits (bounded) for the task's main window, brings it to the front and waits (bounded)
    // until it holds the focus.
    bool activate(TaskId task);
    bool send_keys(const std::string& keys);

  private:
    std::map<TaskId, void*> started_;  // process handles, until the task is activated
};

// Brings a top-level window to the front with the focus, within Windows' foreground rules: it
// succeeds at once while this process owns the user's last input, otherwise by sharing the
// input state of the thread that has the foreground now.
void bring_to_front(HWND hwnd);

// The program part of a command line: up to the first blank, or the text between leading quotes.
std::string program_of(const std::string& command_line);

}  // namespace dorvane::win32
