// SPDX-License-Identifier: MIT
// Starting a program as a process of its own, without a shell, and reaping it when it ends.
//
// The child gets a session of its own (a signal to the launcher's terminal does not reach the
// game), default signal handling, stdin from /dev/null, the launcher's stdout and stderr, no
// other descriptor, and the launcher's environment with `marker` ("NAME=value") added in place
// of any variable of that name. A failure to execute is known when `spawn_program` returns. One
// small thread per child waits for its end, so that a finished program never lingers as a zombie
// while the launcher itself never waits for it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "platform/x11/program_file.h"

namespace dorvane::x11 {

struct ChildStatus {
    std::atomic<bool> ended{false};
    std::atomic<int> wait_status{0};  // as waitpid reports it, once `ended`
};

struct Child {
    pid_t pid = -1;
    std::shared_ptr<ChildStatus> status;

    bool running() const;
    // Ended with exit status 0.
    bool succeeded() const;
};

// errno-style error number on failure.
struct SpawnResult {
    std::optional<Child> child;
    int error = 0;
};

SpawnResult spawn_program(const ExecPlan& plan, const std::string& marker = "");

}  // namespace dorvane::x11
