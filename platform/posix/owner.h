// SPDX-License-Identifier: MIT
// Telling whether a window's process belongs to a program the launcher started, whoever runs it.
//
// The started process is often not the one that shows the window: dosbox and wine run the
// program in processes of their own, Wine hands a program to a process that is no descendant of
// the one started (its parent is init), and a native program may fork and let its first
// process end. So a process belongs to a launch when it is
//  1. the started process or one below it, or
//  2. in the session of the started process: every program starts in a session of its own,
//     which its descendants keep unless they make one of their own (as daemons do), or
//  3. carrying the launch's marker in its environment: DORVANE_LAUNCH, unique per launch,
//     which descendants inherit unless they start from a clean environment.
// Limits: a process that leaves the session and clears its environment, and is no longer below
// the started one, is not recognised; nor is one of another user, whose details /proc keeps
// private.
#pragma once

#include <sys/types.h>

#include <set>
#include <string>

namespace dorvane::posix {

// The environment variable that marks a launch.
inline constexpr const char* kLaunchMarker = "DORVANE_LAUNCH";

struct LaunchIdentity {
    pid_t pid = -1;      // the started process, which leads a session of its own
    std::string marker;  // the value of DORVANE_LAUNCH in its environment
};

// `pid` and every process below it.
std::set<pid_t> process_family(pid_t pid);

bool belongs_to(pid_t candidate, const LaunchIdentity& launch);

}  // namespace dorvane::posix
