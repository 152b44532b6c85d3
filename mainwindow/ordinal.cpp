// SPDX-License-Identifier: MIT
#include "mainwindow/ordinal.h"

#include <cstdint>

namespace dorvane {

namespace {

bool continuation(unsigned char c, unsigned char low = 0x80, unsigned char high = 0xBF) {
    return c >= low && c <= high;
}

// Length of the valid UTF-8 sequence at the start of `s` and its code point; 0 if invalid.
std::size_t decode(std::string_view s, char32_t& cp) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b = at(0);
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;  // no overlong forms
        if (b == 0xED)
            high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        if (b == 0xF4)
            high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < length || !continuation(at(1), low, high))
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!continuation(at(i)))
            return 0;
    }
    cp = b & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (at(i) & 0x3F);
    return length;
}

}  // namespace

std::u16string utf16_units(std::string_view name) {
    std::u16string units;
    units.reserve(name.size());
    while (!name.empty()) {
        char32_t cp = 0;
        std::size_t length = decode(name, cp);
        if (length == 0) {
            units.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(name[0])));
            length = 1;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
        name.remove_prefix(length);
    }
    return units;
}

bool ordinal_less(std::string_view a, std::string_view b) {
    return utf16_units(a) < utf16_units(b);
}

}  // namespace dorvane
