// SPDX-License-Identifier: MIT
// Fuzzes the database reader: any bytes must parse without a crash or a sanitizer report into a
// record whose every field holds a value the writer can store, and writing that record must read
// back as a complete file holding the same record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "catalogue/database.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "database_fuzz: %s\n", what);
        std::abort();
    }
}

bool same_file_fields(const dorvane::State& a, const dorvane::State& b) {
    for (int i = 0; i < dorvane::kSlots; ++i) {
        if (a.maps[i].mapname != b.maps[i].mapname || a.maps[i].mapnum != b.maps[i].mapnum)
            return false;
    }
    for (dorvane::ColourField field : dorvane::kColourFields) {
        if (a.*field != b.*field)
            return false;
    }
    return a.selected_map == b.selected_map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dorvane;
    using Kind = DatabaseRead::Kind;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    DatabaseRead read = parse_database(text);

    check((read.kind == Kind::Empty) == text.empty(), "only no bytes at all is a first run");
    check(read.problems.empty() == (read.kind != Kind::Damaged), "problems exactly when damaged");
    for (const map_slot& slot : read.record.maps)
        check(storable_name(slot.mapname), "an unstorable name was read");

    for (Numbering numbering : {Numbering::ByMapnum, Numbering::ByIndex}) {
        std::string written = format_database(read.record, numbering);
        DatabaseRead again = parse_database(written);
        check(again.kind == Kind::Complete, "a written file does not read back complete");
        State expected = read.record;
        if (numbering == Numbering::ByIndex) {
            for (int i = 0; i < kSlots; ++i)
                expected.maps[i].mapnum = static_cast<std::int16_t>(i);
        }
        check(same_file_fields(again.record, expected), "a written file reads back differently");
        check(format_database(again.record, numbering) == written, "rewriting changes the bytes");
    }
    return 0;
}
