// SPDX-License-Identifier: MIT
// Database texts for tests, written out by hand rather than by the program's own writer.
#pragma once

#include <string>
#include <vector>

namespace dorvane::samples {

// The file a first run writes: slot i numbered i with no name, an empty selection, the default
// colours.
inline std::string fresh_file() {
    std::string text;
    for (int i = 0; i < 68; ++i)
        text += std::to_string(i) + ",\"\"\r\n";
    text +=
        "\r\n"
        "0,255,255,0\r\n"
        "0,0,0,0\r\n"
        "0,255,255,0\r\n"
        "0,255,0\r\n"
        "255,0,0\r\n"
        "255,255,0\r\n"
        "0,0,255\r\n"
        "255,255,255\r\n";
    return text;
}

// A full catalogue: slot i holds "map i.map" numbered 100 + i (slot 3's name has a comma),
// slot 12 is selected and the 27 colour components are 1 to 27 in file order.
inline std::string full_catalogue() {
    std::string text;
    for (int i = 0; i < 68; ++i) {
        std::string name = i == 3 ? "map 3, the third.map" : "map " + std::to_string(i) + ".map";
        text += std::to_string(100 + i) + ",\"" + name + "\"\r\n";
    }
    text +=
        "12\r\n1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n13,14,15\r\n16,17,18\r\n19,20,21\r\n"
        "22,23,24\r\n25,26,27\r\n";
    return text;
}

// The lines of a text with CR LF line ends, without them.
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t p = 0;
    for (std::size_t end; (end = text.find("\r\n", p)) != std::string::npos; p = end + 2)
        out.push_back(text.substr(p, end - p));
    if (p < text.size())
        out.push_back(text.substr(p));
    return out;
}

inline std::string join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

}  // namespace dorvane::samples
