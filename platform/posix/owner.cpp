// SPDX-License-Identifier: MIT
#include "platform/posix/owner.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace dorvane::posix {

namespace {

// The fields of /proc/PID/stat after the command name, which sits in parentheses and may hold
// blanks: state, parent, process group, session, ...
std::vector<std::string> stat_fields(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::size_t close = line.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos)
        return fields;
    std::istringstream rest(line.substr(close + 1));
    std::string field;
    while (rest >> field)
        fields.push_back(field);
    return fields;
}

pid_t field_as_pid(pid_t pid, std::size_t index) {
    std::vector<std::string> fields = stat_fields(pid);
    return index < fields.size() ? static_cast<pid_t>(std::atol(fields[index].c_str())) : -1;
}

pid_t parent_of(pid_t pid) {
    return field_as_pid(pid, 1);
}

pid_t session_of(pid_t pid) {
    return field_as_pid(pid, 3);
}

// Whether the environment the process started with holds `assignment` ("NAME=value").
bool environment_holds(pid_t pid, const std::string& assignment) {
    int fd = open(("/proc/" + std::to_string(pid) + "/environ").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string all;
    char buffer[8192];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0 && all.size() < (1u << 20))
        all.append(buffer, static_cast<std::size_t>(n));
    close(fd);
    std::size_t at = 0;
    while (at < all.size()) {
        std::size_t end = all.find('\0', at);
        if (end == std::string::npos)
            end = all.size();
        if (all.compare(at, end - at, assignment) == 0)
            return true;
        at = end + 1;
    }
    return false;
}

}  // namespace

std::set<pid_t> process_family(pid_t pid) {
    std::map<pid_t, std::vector<pid_t>> kids;
    if (DIR* proc = opendir("/proc")) {
        while (dirent* entry = readdir(proc)) {
            std::string name = entry->d_name;
            if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            pid_t p = static_cast<pid_t>(std::atol(name.c_str()));
            kids[parent_of(p)].push_back(p);
        }
        closedir(proc);
    }
    std::set<pid_t> family{pid};
    std::vector<pid_t> todo{pid};
    while (!todo.empty()) {
        pid_t next = todo.back();
        todo.pop_back();
        for (pid_t kid : kids[next]) {
            if (family.insert(kid).second)
                todo.push_back(kid);
        }
    }
    return family;
}

bool belongs_to(pid_t candidate, const LaunchIdentity& launch) {
    if (candidate <= 0 || launch.pid <= 0)
        return false;
    if (candidate == launch.pid || session_of(candidate) == launch.pid)
        return true;
    if (!launch.marker.empty() &&
        environment_holds(candidate, std::string(kLaunchMarker) + "=" + launch.marker))
        return true;
    return process_family(launch.pid).count(candidate) > 0;
}

}  // namespace dorvane::posix
