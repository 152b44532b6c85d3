// SPDX-License-Identifier: MIT
// Any bytes parse, without a crash or a sanitizer report, into a record whose names can all be
// stored, and the record written in either numbering reads back complete, giving the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "catalogue/database.h"

static void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "database_fuzz: %s\n", what);
        std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dorvane;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    DatabaseRead read = parse_database(text);
    check((read.kind == DatabaseRead::Kind::Empty) == text.empty(), "only no bytes is a first run");
    check(read.problems.empty() == (read.kind != DatabaseRead::Kind::Damaged),
          "problems exactly when damaged");
    for (const map_slot& slot : read.record.maps)
        check(storable_name(slot.mapname), "an unstorable name was read");
    for (Numbering numbering : {Numbering::ByMapnum, Numbering::ByIndex}) {
        const std::string written = format_database(read.record, numbering);
        DatabaseRead again = parse_database(written);
        check(again.kind == DatabaseRead::Kind::Complete, "a written file is not complete");
        check(format_database(again.record, numbering) == written,
              "a written file reads back differently");
    }
    return 0;
}
