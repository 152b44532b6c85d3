// SPDX-License-Identifier: MIT
#include "platform/x11/spawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace dorvane::x11 {

namespace {

// Waits for the child on a thread of its own. If someone else reaps it first (a process that
// ignores SIGCHLD), the status says "ended" only once the process is really gone.
void reap_later(pid_t pid, std::shared_ptr<ChildStatus> status) {
    std::thread([pid, status] {
        int wait_status = 0;
        pid_t r;
        do {
            r = waitpid(pid, &wait_status, 0);
        } while (r < 0 && errno == EINTR);
        if (r < 0) {
            while (kill(pid, 0) == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            wait_status = 0;
        }
        status->wait_status = wait_status;
        status->ended = true;
    }).detach();
}

}  // namespace

bool Child::running() const {
    return !status->ended;
}

bool Child::succeeded() const {
    int s = status->wait_status;
    return status->ended && WIFEXITED(s) && WEXITSTATUS(s) == 0;
}

SpawnResult spawn_program(const ExecPlan& plan, const std::string& marker) {
    std::vector<char*> env;
    const std::string marker_name = marker.substr(0, marker.find('=') + 1);
    for (char** var = environ; *var; ++var) {
        if (marker_name.empty() ||
            std::string_view(*var).substr(0, marker_name.size()) != marker_name)
            env.push_back(*var);
    }
    if (!marker.empty())
        env.push_back(const_cast<char*>(marker.c_str()));
    env.push_back(nullptr);

    std::vector<char*> argv;
    for (const std::string& arg : plan.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    // posix_spawn, unlike posix_spawnp, searches nothing and never falls back on a shell; glibc
    // reports the exec's own error (missing, not executable, wrong format) as its result.
    int error =
        posix_spawn(&pid, plan.path.c_str(), &actions, &attributes, argv.data(), env.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return {std::nullopt, error};

    Child child{pid, std::make_shared<ChildStatus>()};
    reap_later(pid, child.status);
    return {child, 0};
}

}  // namespace dorvane::x11
