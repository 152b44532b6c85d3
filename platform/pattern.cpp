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

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower_ascii(a[i]) != lower_ascii(b[i]))
            return false;
    }
    return true;
}

void CaseBlindMatch::offer(std::string_view name) {
    if (exact_ || !same_ignoring_case(name, wanted_))
        return;
    if (name == wanted_) {
        exact_ = true;
        best_ = wanted_;
    } else if (!best_ || name < *best_) {
        best_ = std::string(name);
    }
}

std::optional<std::string> CaseBlindMatch::best() const {
    return best_;
}

}  // namespace dorvane
