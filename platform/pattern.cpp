// SPDX-License-Identifier: MIT
#include "platform/pattern.h"

#include <cstddef>

namespace dorvane {

namespace {

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool matches_pattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lower_ascii(pattern[p]) == lower_ascii(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::string_view::npos) {
            // Let the last '*' take one more character and try again.
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace dorvane
