// SPDX-License-Identifier: MIT
#include "platform/posix/processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/posix/command_line.h"
#include "platform/posix/signal_pipe.h"

extern char** environ;

namespace dorvane::posix {

bool Child::running() {
    if (wait_status_)
        return false;
    int status = 0;
    pid_t r;
    do {
        r = waitpid(pid_, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == pid_) {
        wait_status_ = status;
        return false;
    }
    if (r == 0)
        return true;
    // Someone else reaped it (as the system does for a process that ignores SIGCHLD): it has
    // ended once it is gone, and how is not known; it counts as a good end, never reported.
    if (kill(pid_, 0) == 0 || errno == EPERM)
        return true;
    wait_status_ = 0;
    return false;
}

bool Child::succeeded() const {
    return wait_status_ && WIFEXITED(*wait_status_) && WEXITSTATUS(*wait_status_) == 0;
}

SpawnResult spawn_program(const ExecPlan& plan, const std::string& marker,
                          const std::string& startup_id) {
    std::vector<char*> env;
    const std::string marker_name = marker.substr(0, marker.find('=') + 1);
    constexpr std::string_view kStartupName = "DESKTOP_STARTUP_ID=";
    const std::string startup = startup_id.empty() ? "" : std::string(kStartupName) + startup_id;
    for (char** var = environ; *var; ++var) {
        const std::string_view text(*var);
        if ((marker_name.empty() || text.substr(0, marker_name.size()) != marker_name) &&
            text.substr(0, kStartupName.size()) != kStartupName)
            env.push_back(*var);
    }
    if (!marker.empty())
        env.push_back(const_cast<char*>(marker.c_str()));
    if (!startup.empty())
        env.push_back(const_cast<char*>(startup.c_str()));
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
    return {Child(pid), 0};
}

namespace {

std::optional<std::string> current_folder() {
    char buffer[4096];
    if (!getcwd(buffer, sizeof buffer))
        return std::nullopt;
    return std::string(buffer);
}

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

}  // namespace

std::optional<StartedProgram> start_from_command_line(const std::string& command_line,
                                                      unsigned serial, std::string& error,
                                                      const std::string& startup_id) {
    error.clear();
    std::vector<std::string> args = split_command_line(command_line);
    std::optional<std::string> folder = current_folder();
    if (args.empty() || !folder) {
        error = "nothing to start";
        return std::nullopt;
    }
    std::optional<std::string> file = find_in_folder(*folder, args[0]);
    if (!file) {
        error = args[0] + ": no such program in " + *folder;
        return std::nullopt;
    }
    ProgramKind kind = classify_file(*folder + "/" + *file);
    std::optional<std::string> helper;
    if (kind == ProgramKind::Dos)
        helper = find_on_path("dosbox", std::getenv("PATH"));
    else if (kind == ProgramKind::Windows)
        helper = find_on_path("wine", std::getenv("PATH"));
    // DOSBox reads dosbox.conf from the folder it starts in: where the game folder has one, its
    // settings say whether the game runs in a window or in the full screen.
    DosScreen screen =
        exists(*folder + "/dosbox.conf") ? DosScreen::AsConfigured : DosScreen::FullScreen;
    std::optional<ExecPlan> plan = plan_exec(*folder, *file, kind, args, helper, screen);
    if (!plan) {
        error = *file + ": cannot be run here";
        return std::nullopt;
    }
    const auto now = std::chrono::steady_clock::now();
    std::string marker = std::to_string(getpid()) + "." + std::to_string(serial) + "." +
                         std::to_string(now.time_since_epoch().count());
    SpawnResult result =
        spawn_program(*plan, std::string(kLaunchMarker) + "=" + marker, startup_id);
    if (!result.child) {
        error = plan->path + ": " + std::strerror(result.error);
        return std::nullopt;
    }
    pid_t pid = result.child->pid();
    return StartedProgram{*result.child,
                          {pid, marker},
                          *file,
                          kind == ProgramKind::Dos ? dosbox_running_title(*file) : "",
                          kind == ProgramKind::Windows,
                          std::chrono::steady_clock::now()};
}

int watch_child_ends() {
    // Stopped children are not ends.
    static int read_end = signal_pipe({SIGCHLD}, SA_NOCLDSTOP);
    return read_end;
}

bool take_child_ends(int fd) {
    return take_signal_bytes(fd);
}

}  // namespace dorvane::posix
