// SPDX-License-Identifier: MIT
#include "platform/ascii.h"

namespace dorvane {

std::string ascii_lower(std::string text) {
    for (char& c : text)
        c = ascii_lower(c);
    return text;
}

std::string ascii_upper(std::string text) {
    for (char& c : text)
        c = ascii_upper(c);
    return text;
}

bool same_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace dorvane
