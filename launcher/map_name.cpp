// SPDX-License-Identifier: MIT
#include "launcher/map_name.h"

#include <algorithm>

namespace dorvane {

namespace {

char fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace

std::string name_on_disk(const std::string& stored, const std::vector<std::string>& files) {
    if (std::find(files.begin(), files.end(), stored) != files.end())
        return stored;
    const std::string* found = nullptr;
    for (const std::string& file : files) {
        if (!same_ignoring_case(file, stored))
            continue;
        if (found)
            return stored;
        found = &file;
    }
    return found ? *found : stored;
}

}  // namespace dorvane
