// SPDX-License-Identifier: MIT
#include "platform/posix/real_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/ascii.h"
#include "platform/pattern.h"

namespace dorvane {

namespace {

bool is_regular_at(int dir, const char* name) {
    struct stat st {};
    return fstatat(dir, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

NameOnDisk found(std::string name) {
    return {NameOnDisk::Status::Found, std::move(name), {}};
}

NameOnDisk none() {
    return {NameOnDisk::Status::None, {}, {}};
}

NameOnDisk failed() {
    return {NameOnDisk::Status::Failed, {}, std::strerror(errno)};
}

}  // namespace

NameOnDisk real_name_in(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return none();
    if (is_regular_at(AT_FDCWD, (folder + "/" + name).c_str()))
        return found(name);
    // Of all the ways to write a name in letter case, the all-capitals one comes first in byte
    // order (at the first letter where two differ, the capital is the smaller byte). Where that
    // file exists, as it does for files from DOS, the rule picks it without reading the folder.
    std::string capitals = ascii_upper(name);
    if (capitals != name && is_regular_at(AT_FDCWD, (folder + "/" + capitals).c_str()))
        return found(capitals);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return failed();
    CaseBlindMatch match(name);
    for (;;) {
        errno = 0;
        dirent* entry = readdir(dir);
        if (!entry) {
            if (errno == 0)
                break;
            NameOnDisk result = failed();
            closedir(dir);
            return result;
        }
        // Only names that match are looked at more closely; a link to a file counts as the file.
        if (!same_ignoring_case(entry->d_name, name))
            continue;
        bool regular =
            entry->d_type == DT_REG || ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                                        is_regular_at(dirfd(dir), entry->d_name));
        if (regular)
            match.offer(entry->d_name);
    }
    closedir(dir);
    std::optional<std::string> best = match.best();
    return best ? found(*best) : none();
}

}  // namespace dorvane
