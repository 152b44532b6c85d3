// SPDX-License-Identifier: MIT
// Letter case the one way the program knows it: only the ASCII letters 'A' to 'Z' and 'a' to
// 'z' have a case, and every other byte stays as it is, whatever the locale says. So the bytes
// of a UTF-8 or code-page name are never folded into one another, and a name compares and
// lower-cases the same on every backend and in every locale.
#pragma once

#include <string>
#include <string_view>

namespace dorvane {

constexpr char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char ascii_upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ascii_lower(std::string text);
std::string ascii_upper(std::string text);

// Whether two names differ at most in the letter case of ASCII letters.
bool same_ignoring_case(std::string_view a, std::string_view b);

}  // namespace dorvane
