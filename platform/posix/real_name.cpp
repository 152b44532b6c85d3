// SPDX-License-Identifier: MIT
#include "platform/posix/real_name.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/ascii.h"
#include "platform/pattern.h"

namespace dorvane {

namespace {

bool is_regular_at(int dir, const char* name) {
    struct stat st {};
    return fstatat(dir, name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::optional<std::string> real_name_in(const std::string& folder, const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return std::nullopt;
    if (is_regular_at(AT_FDCWD, (folder + "/" + name).c_str()))
        return name;
    // Of all the ways to write a name in letter case, the all-capitals one comes first in byte
    // order (at the first letter where two differ, the capital is the smaller byte). Where that
    // file exists, as it does for files from DOS, the rule picks it without reading the folder.
    std::string capitals = ascii_upper(name);
    if (capitals != name && is_regular_at(AT_FDCWD, (folder + "/" + capitals).c_str()))
        return capitals;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return std::nullopt;
    CaseBlindMatch match(name);
    while (dirent* entry = readdir(dir)) {
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
    return match.best();
}

}  // namespace dorvane
