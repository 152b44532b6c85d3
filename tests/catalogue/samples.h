// SPDX-License-Identifier: MIT
// Database texts for tests, written out by hand rather than by the program's own writer.
#pragma once

#include <map>
#include <string>

namespace dorvane::samples {

// Slot i numbered first + i and named "map i.map" (slot 3's name has a comma) or nothing, then
// `rest`: the selection line and the colour lines.
inline std::string catalogue(int first, bool named, const std::string& rest) {
    std::string text;
    for (int i = 0; i < 68; ++i) {
        std::string name = i == 3 ? "map 3, the third.map" : "map " + std::to_string(i) + ".map";
        text += std::to_string(first + i) + ",\"" + (named ? name : "") + "\"\r\n";
    }
    return text + rest;
}

// The file a first run writes: no names, no selection, the default colours.
inline const std::string kFresh =
    catalogue(0, false,
              "\r\n0,255,255,0\r\n0,0,0,0\r\n0,255,255,0\r\n0,255,0\r\n255,0,0\r\n255,255,0\r\n"
              "0,0,255\r\n255,255,255\r\n");
// Slots numbered from 100, slot 12 selected, the 27 colour components 1 to 27 in file order.
inline const std::string kFull =
    catalogue(100, true,
              "12\r\n1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n13,14,15\r\n16,17,18\r\n19,20,21\r\n"
              "22,23,24\r\n25,26,27\r\n");

// Line i (from 0) of a text with CR LF line ends, with its line end; nothing past the end.
inline std::string line(const std::string& text, int i) {
    std::size_t p = 0;
    while (i-- > 0 && p < text.size())
        p = text.find("\r\n", p) + 2;
    return p < text.size() ? text.substr(p, text.find("\r\n", p) + 2 - p) : "";
}

// The 77 lines of a file: those of `text` up to line `cut`, those of `rest` after it, each line
// in `changes` replaced.
inline std::string edited(const std::string& text, std::map<int, std::string> changes, int cut = 77,
                          const std::string& rest = "") {
    std::string out;
    for (int i = 0; i < 77; ++i)
        out += changes.count(i) ? changes[i] + "\r\n" : line(i < cut ? text : rest, i);
    return out;
}

inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t p = 0; (p = text.find(from, p)) != std::string::npos; p += to.size())
        text.replace(p, from.size(), to);
    return text;
}

}  // namespace dorvane::samples
