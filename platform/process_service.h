// SPDX-License-Identifier: MIT
// Processes: starting the game's programs, bringing their windows to the front and typing into
// them. What each operation promises, how long it may hold the user-interface thread and what
// counts as failure is the launch contract, platform/launch.h; every failure is reported there,
// at once or, for a program that fails after its activation returned, through on_late_failure.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace dorvane {

using TaskId = std::int64_t;

class ProcessService {
  public:
    virtual ~ProcessService() = default;

    // Starts a program from a command line, maximised and with the focus; returns at once.
    // nullopt: it could not be found or started.
    virtual std::optional<TaskId> start_program(const std::string& command_line) = 0;
    // Brings the task's main window to the front with the keyboard focus (bounded wait).
    virtual bool activate(TaskId task) = 0;
    // Types the keys into the started program's window once it has been on the screen for
    // `shown_for` and has the focus, and returns once they were processed.
    virtual bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) = 0;
    // `report` runs, on the user-interface thread between events, when a program whose
    // activation returned before its window showed then ends with an error without showing one.
    // It replaces the report given before.
    virtual void on_late_failure(std::function<void()> report) = 0;
};

}  // namespace dorvane
