// SPDX-License-Identifier: MIT
// Starting the game's programs on a POSIX system, and knowing when and how they end.
//
// start_from_command_line splits the launcher's command line at blanks (command_line.h), finds
// the program in the current folder in any letter case, runs a DOS program in dosbox and a
// Windows program through wine when those are on the PATH (program_file.h), and starts it
// without a shell. The child gets a session of its own (a signal to the launcher's terminal
// does not reach the game), default signal handling, stdin from /dev/null, the launcher's
// stdout and stderr, no other descriptor, and the launcher's environment with the launch's
// marker (owner.h) in place of any variable of that name, and the launch's startup
// notification id as DESKTOP_STARTUP_ID (never the one the launcher was given). A failure to
// execute is known when it returns.
//
// Ending: nothing waits for a child in the background. Each look at a Child is a non-blocking
// waitpid, which also reaps it once it has ended; SIGCHLD writes a byte on a pipe
// (watch_child_ends) that an event loop watches, so that a program that ends while nobody
// looks is reaped at once and never lingers as a zombie.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/posix/owner.h"
#include "platform/posix/program_file.h"

namespace dorvane::posix {

class Child {
  public:
    explicit Child(pid_t pid) : pid_(pid) {}
    pid_t pid() const { return pid_; }

    // Looks without waiting whether it still runs; reaps it once it has ended.
    bool running();
    // Ended with exit status 0 (as far as running() has seen: false while it runs).
    bool succeeded() const;

  private:
    pid_t pid_;
    std::optional<int> wait_status_;  // as waitpid reported it, once ended
};

// errno-style error number on failure.
struct SpawnResult {
    std::optional<Child> child;
    int error = 0;
};

// Starts `plan` as described above; `marker` ("NAME=value") and `startup_id` may be empty.
SpawnResult spawn_program(const ExecPlan& plan, const std::string& marker = "",
                          const std::string& startup_id = "");

// A program of the game, started from a launcher command line.
struct StartedProgram {
    Child child;
    LaunchIdentity identity;
    std::string file_name;      // the program's file, as its windows' class may name it
    std::string running_title;  // DOSBox's title while the DOS program runs, or empty
    bool through_wine = false;
    std::chrono::steady_clock::time_point started;
};

// nullopt, with the reason in words in `error` (for diagnostics, never shown to the user), when
// the program is not there or cannot run. `serial` tells this launch's marker from others of
// the same process.
std::optional<StartedProgram> start_from_command_line(const std::string& command_line,
                                                      unsigned serial, std::string& error,
                                                      const std::string& startup_id = "");

// Installs the SIGCHLD handler once; returns the pipe's end that becomes readable when a child
// may have ended, or -1 when no pipe could be made (children are then reaped on the next look).
int watch_child_ends();
// Takes the bytes off the pipe; returns whether there were any.
bool take_child_ends(int fd);

}  // namespace dorvane::posix
