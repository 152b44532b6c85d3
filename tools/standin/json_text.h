// SPDX-License-Identifier: MIT
// A string in the stand-in's log: JSON, bytes below 0x20 and from 0x7f up as \u00XX, so that
// the Latin-1 encoding of the decoded string gives back the exact bytes.
#pragma once

#include <cstdio>
#include <string>

namespace dorvane::standin {

inline std::string json_text(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        char buf[8] = {static_cast<char>(c), 0};
        if (c < 0x20 || c >= 0x7f)
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
        else if (c == '"' || c == '\\')
            out += '\\';
        out += buf;
    }
    return out + "\"";
}

}  // namespace dorvane::standin
