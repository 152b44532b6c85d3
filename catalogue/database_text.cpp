// SPDX-License-Identifier: MIT
// Formatting and reading the database file's text; no file is touched here.
#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "catalogue/database.h"

namespace dorvane {

namespace {

// The file's values in order: a number and a name per slot, the selection, the colours.
constexpr int kSlotFields = 2 * kSlots;
constexpr int kSelectionField = kSlotFields;
constexpr int kFields = kSlotFields + 1 + 27;
constexpr int kLines = kSlots + 1 + 8;
// Values on each colour line (lines 70 to 77).
constexpr std::array<int, 8> kColourLineFields = {4, 4, 4, 3, 3, 3, 3, 3};

bool is_line_end(char c) {
    return c == '\r' || c == '\n';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

struct Field {
    std::string_view text;
    int line = 0;                 // where it starts, from 1
    const char* fault = nullptr;  // why its text cannot be taken at all
};

// Splits text into fields: a quoted text (quotes dropped) or the characters up to the next comma
// or line end. A comma or a line end (CR LF, LF or CR) ends a field, so a blank line is one
// empty field.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : s_(text) {}

    bool at_end() const { return p_ >= s_.size(); }
    int line() const { return line_; }
    // Whether the last field was ended by a comma (so one more, empty, field may follow).
    bool after_comma() const { return after_comma_; }

    std::optional<Field> next() {
        if (at_end())
            return std::nullopt;
        Field f;
        f.line = line_;
        std::size_t q = p_;
        while (q < s_.size() && is_blank(s_[q]))
            ++q;
        if (q < s_.size() && s_[q] == '"') {
            std::size_t close = q + 1;
            while (close < s_.size() && s_[close] != '"' && !is_line_end(s_[close]))
                ++close;
            f.text = s_.substr(q + 1, close - q - 1);
            p_ = close;
            if (close == s_.size() || s_[close] != '"') {
                f.fault = "a quoted text is not closed on its line";
            } else {
                ++p_;
                while (p_ < s_.size() && is_blank(s_[p_]))
                    ++p_;
                if (p_ < s_.size() && s_[p_] != ',' && !is_line_end(s_[p_])) {
                    f.fault = "there is text after a closing quote";
                    skip_to_separator();
                }
            }
        } else {
            // Blanks before an unquoted text are dropped, as before a quoted one.
            p_ = q;
            skip_to_separator();
            f.text = s_.substr(q, p_ - q);
        }
        after_comma_ = false;
        if (!at_end()) {
            char c = s_[p_++];
            if (c == ',') {
                after_comma_ = true;
            } else {
                if (c == '\r' && !at_end() && s_[p_] == '\n')
                    ++p_;
                ++line_;
            }
        }
        return f;
    }

  private:
    void skip_to_separator() {
        while (p_ < s_.size() && s_[p_] != ',' && !is_line_end(s_[p_]))
            ++p_;
    }

    std::string_view s_;
    std::size_t p_ = 0;
    int line_ = 1;
    bool after_comma_ = false;
};

// A field's text as the user may see it in a message: short, without control bytes.
std::string shown(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 16))
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    if (text.size() > 16)
        out += "...";
    return "\"" + out + "\"";
}

// A whole number within [min, max], blanks around it allowed; nullopt for an empty field.
// Returns false when the text is not such a number.
bool to_number(std::string_view text, long long min, long long max, std::optional<long long>& out) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    out.reset();
    if (text.empty())
        return true;
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < min || value > max)
        return false;
    out = value;
    return true;
}

// Reading one of the file's values into a record, with first-run values for what fails.
class Taker {
  public:
    State record = first_run_record();
    int unread = 0;  // values that could not be taken
    std::vector<std::string> problems;

    void take(int index, const Field& f) {
        std::string why = fault(index, f);
        if (why.empty())
            return;
        ++unread;
        problems.push_back("line " + std::to_string(f.line) + ": " + why);
    }

    void missing(int count, std::string problem) {
        unread += count;
        problems.push_back(std::move(problem));
    }

  private:
    // Stores the field as value `index` of the file; says why when it cannot.
    std::string fault(int index, const Field& f) {
        if (f.fault)
            return f.fault;
        std::optional<long long> number;
        if (index < kSlotFields && index % 2 == 1) {
            if (f.text.size() > kMaxNameBytes)
                return "a map name is longer than " + std::to_string(kMaxNameBytes) + " bytes";
            if (!storable_name(f.text))
                return "the map name " + shown(f.text) + " holds a double quote or a NUL byte";
            record.maps[index / 2].mapname = std::string(f.text);
        } else if (index < kSlotFields) {
            if (!to_number(f.text, INT16_MIN, INT16_MAX, number))
                return "the slot number " + shown(f.text) +
                       " is not a whole number from -32768 to 32767";
            record.maps[index / 2].mapnum = static_cast<std::int16_t>(number.value_or(0));
        } else if (index == kSelectionField) {
            if (!to_number(f.text, INT32_MIN, INT32_MAX, number))
                return "the selection " + shown(f.text) + " is not a whole number";
            record.selected_map = number ? SlotIndex(static_cast<int>(*number)) : std::nullopt;
        } else {
            if (!to_number(f.text, INT32_MIN, INT32_MAX, number))
                return "the colour component " + shown(f.text) + " is not a whole number";
            record.*kColourFields[index - kSelectionField - 1] =
                static_cast<int>(number.value_or(0));
        }
        return {};
    }
};

bool blank_text(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The reading the format defines: values in order, wherever the lines break.
struct StreamRead {
    Taker taker;
    bool ended_after_selection = false;
};

StreamRead read_stream(std::string_view text) {
    StreamRead out;
    FieldReader reader(text);
    for (int index = 0; index < kFields; ++index) {
        std::optional<Field> f = reader.next();
        if (!f) {
            out.ended_after_selection = index == kSelectionField + 1;
            out.taker.missing(kFields - index, "the file ends on line " +
                                                   std::to_string(reader.line()) +
                                                   ", before all values were read");
            return out;
        }
        out.taker.take(index, *f);
    }
    // Blank lines after the last line are harmless. Anything else is no part of the format but
    // may be the user's own notes: rather than drop it silently at the next write, the file
    // counts as damaged, so that it is kept aside whole and the user is told.
    while (std::optional<Field> f = reader.next()) {
        if (!f->text.empty() || f->fault) {
            out.taker.missing(
                1, "line " + std::to_string(f->line) + ": there is more after the colours");
            break;
        }
    }
    return out;
}

// A second reading for damaged files, which the program always wrote line by line: line i holds
// the values of line i, so one bad or missing value does not shift every value after it.
Taker read_lines(std::string_view text) {
    Taker taker;
    std::vector<std::string_view> lines;
    for (std::size_t p = 0; p < text.size();) {
        std::size_t end = p;
        while (end < text.size() && !is_line_end(text[end]))
            ++end;
        lines.push_back(text.substr(p, end - p));
        p = end;
        if (p < text.size())
            p += text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n' ? 2 : 1;
    }
    int first = 0;
    for (int line = 0; line < kLines; ++line) {
        int count = line < kSlots ? 2 : line == kSlots ? 1 : kColourLineFields[line - kSlots - 1];
        if (line >= static_cast<int>(lines.size())) {
            taker.missing(kFields - first, "the file ends on line " + std::to_string(line + 1) +
                                               ", before all values were read");
            return taker;
        }
        FieldReader reader(lines[line]);
        std::vector<Field> fields;
        while (std::optional<Field> f = reader.next())
            fields.push_back(*f);
        if (fields.empty() || reader.after_comma())
            fields.push_back({});
        for (int j = 0; j < count; ++j) {
            if (j < static_cast<int>(fields.size())) {
                fields[j].line = line + 1;
                taker.take(first + j, fields[j]);
            } else {
                taker.missing(1, "line " + std::to_string(line + 1) + " holds too few values");
            }
        }
        if (static_cast<int>(fields.size()) > count)
            taker.missing(1, "line " + std::to_string(line + 1) + " holds too many values");
        first += count;
    }
    for (std::size_t line = kLines; line < lines.size(); ++line) {
        if (!blank_text(lines[line])) {
            taker.missing(1,
                          "line " + std::to_string(line + 1) + ": there is more after the colours");
            break;
        }
    }
    return taker;
}

void append_number(std::string& out, long long value) {
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)error;
    out.append(buffer, end);
}

}  // namespace

State first_run_record() {
    State record;
    for (int i = 0; i < kSlots; ++i)
        record.maps[i].mapnum = static_cast<std::int16_t>(i);
    set_default_colours(record);
    return record;
}

bool storable_name(std::string_view name) {
    return name.size() <= kMaxNameBytes &&
           name.find_first_of(std::string_view("\"\r\n\0", 4)) == std::string_view::npos;
}

std::string format_database(const State& state, Numbering numbering) {
    std::string out;
    out.reserve(1024);
    for (int i = 0; i < kSlots; ++i) {
        append_number(out, numbering == Numbering::ByIndex ? i : state.maps[i].mapnum);
        out += ",\"";
        out += state.maps[i].mapname;
        out += "\"\r\n";
    }
    if (state.selected_map)
        append_number(out, *state.selected_map);
    out += "\r\n";
    std::size_t field = 0;
    for (int count : kColourLineFields) {
        for (int j = 0; j < count; ++j) {
            if (j > 0)
                out += ',';
            append_number(out, state.*kColourFields[field++]);
        }
        out += "\r\n";
    }
    return out;
}

DatabaseRead parse_database(std::string_view text) {
    DatabaseRead result;
    if (text.empty())
        return result;
    StreamRead stream = read_stream(text);
    if (stream.taker.unread == 0 ||
        (stream.ended_after_selection && stream.taker.unread == kFields - kSelectionField - 1)) {
        result.kind =
            stream.taker.unread == 0 ? DatabaseRead::Kind::Complete : DatabaseRead::Kind::Upgrade;
        result.record = stream.taker.record;
        return result;
    }
    // Damaged: take whichever reading lost fewer values, the line-by-line one on a tie.
    Taker lines = read_lines(text);
    Taker& best = lines.unread <= stream.taker.unread ? lines : stream.taker;
    result.kind = DatabaseRead::Kind::Damaged;
    result.record = std::move(best.record);
    result.problems = std::move(best.problems);
    return result;
}

}  // namespace dorvane
