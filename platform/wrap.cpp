// SPDX-License-Identifier: MIT
#include "platform/wrap.h"

namespace dorvane {

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// The length of the character that starts at `at`: one UTF-8 sequence, with the access-key mark
// before it (or the pair "&&") counted in.
std::size_t unit_length(std::string_view text, std::size_t at) {
    std::size_t n = 0;
    if (text[at] == '&' && at + 1 < text.size()) {
        if (text[at + 1] == '&')
            return 2;
        n = 1;
    }
    std::size_t end = at + n + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        ++end;
    return end - at;
}

class Wrapper {
  public:
    Wrapper(int width, const TextWidth& width_of, std::vector<std::string>& lines)
        : width_(width), width_of_(width_of), lines_(lines) {}

    void paragraph(std::string_view text) {
        if (fits(text)) {
            lines_.emplace_back(text);
            return;
        }
        const std::size_t before = lines_.size();
        std::size_t line_start = 0, line_end = 0, at = 0;
        bool open = false;  // a line holds words already
        while (true) {
            while (at < text.size() && is_blank(text[at]))
                ++at;
            if (at == text.size())
                break;
            std::size_t word_end = at;
            while (word_end < text.size() && !is_blank(text[word_end]))
                ++word_end;
            if (open && fits(text.substr(line_start, word_end - line_start))) {
                line_end = word_end;
                at = word_end;
                continue;
            }
            if (open)
                lines_.emplace_back(text.substr(line_start, line_end - line_start));
            open = false;
            at = break_word(text, at, word_end);
            if (at == word_end)
                continue;  // broken to the last character
            line_start = at;
            line_end = word_end;
            open = true;
            at = word_end;
        }
        if (open)
            lines_.emplace_back(text.substr(line_start, line_end - line_start));
        if (lines_.size() == before)
            lines_.emplace_back();  // blanks only
    }

  private:
    bool fits(std::string_view text) const { return width_of_(shown_text(text)) <= width_; }

    // Puts the head of the word [start, end) that does not fit on lines of its own, as many
    // characters on each as fit; returns where the rest, which fits, begins.
    std::size_t break_word(std::string_view text, std::size_t start, std::size_t end) {
        while (start < end && !fits(text.substr(start, end - start))) {
            std::size_t cut = start + unit_length(text, start);
            while (cut < end) {
                std::size_t next = cut + unit_length(text, cut);
                if (!fits(text.substr(start, next - start)))
                    break;
                cut = next;
            }
            lines_.emplace_back(text.substr(start, cut - start));
            start = cut;
        }
        return start;
    }

    int width_;
    const TextWidth& width_of_;
    std::vector<std::string>& lines_;
};

}  // namespace

std::string shown_text(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;  // the mark goes; after "&&" the second one stays
        shown += caption[i];
    }
    return shown;
}

std::vector<std::string> wrap_caption(std::string_view caption, int width,
                                      const TextWidth& width_of) {
    std::vector<std::string> lines;
    if (caption.empty())
        return lines;
    Wrapper wrapper(width, width_of, lines);
    std::size_t start = 0;
    while (true) {
        std::size_t end = caption.find('\n', start);
        std::string_view paragraph = caption.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r')
            paragraph.remove_suffix(1);
        wrapper.paragraph(paragraph);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return lines;
}

}  // namespace dorvane
