// SPDX-License-Identifier: MIT
// Starting a program as a process of its own, without a shell, and reaping it when it ends.
//
// The child gets a session of its own (a signal to the launcher's terminal does not reach the
// game), default signal handling, stdin from /dev/null, the launcher's stdout and stderr, and no
// other descriptor. A failure to execute is known when `spawn_program` returns. One small
// thread per child waits for its end, so that a finished program never lingers as a zombie
// while the launcher itself never waits for it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <optional>

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

SpawnResult spawn_program(const ExecPlan& plan);

}  // namespace dorvane::x11
