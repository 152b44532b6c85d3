// SPDX-License-Identifier: MIT
#include "platform/pattern.h"

#include <cstddef>

#include "platform/ascii.h"

namespace dorvane {

bool matches_pattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0, p = 0;
    std::size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || ascii_lower(pattern[p]) == ascii_lower(name[n]))) {
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
