// SPDX-License-Identifier: MIT
// Qimdat.dat: what the reader makes of a text, the bytes written back, what a load leaves in
// memory and on disk (a damaged file kept aside, then mended), the save.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <tuple>

#include "catalogue/database.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using Kind = DatabaseRead::Kind;

// Texts by hand, not by the program's writer: slot i numbered first + i, named "map i.map" (slot
// 3's with a comma) or nothing, then `rest`, the selection line and the colour lines.
std::string catalogue(int first, bool named, const std::string& rest) {
    std::string text;
    for (int i = 0; i < 68; ++i) {
        std::string name = i == 3 ? "map 3, the third.map" : "map " + std::to_string(i) + ".map";
        text += std::to_string(first + i) + ",\"" + (named ? name : "") + "\"\r\n";
    }
    return text + rest;
}

// The file a first run writes: no names, no selection, the default colours.
const std::string kFresh =
    catalogue(0, false,
              "\r\n0,255,255,0\r\n0,0,0,0\r\n0,255,255,0\r\n0,255,0\r\n255,0,0\r\n255,255,0\r\n"
              "0,0,255\r\n255,255,255\r\n");
// Slots numbered from 100, slot 12 selected, the 27 colour components 1 to 27 in file order.
const std::string kFull =
    catalogue(100, true,
              "12\r\n1,2,3,4\r\n5,6,7,8\r\n9,10,11,12\r\n13,14,15\r\n16,17,18\r\n19,20,21\r\n"
              "22,23,24\r\n25,26,27\r\n");

// Line i (from 0) of a text with CR LF line ends, with its line end; nothing past the end.
std::string line(const std::string& text, int i) {
    std::size_t p = 0;
    while (i-- > 0 && p < text.size())
        p = text.find("\r\n", p) + 2;
    return p < text.size() ? text.substr(p, text.find("\r\n", p) + 2 - p) : "";
}

// The 77 lines of a file: `text`'s up to line `cut`, `rest`'s after it, those in `changes` new.
std::string edited(const std::string& text, std::map<int, std::string> changes, int cut = 77,
                   const std::string& rest = "") {
    std::string out;
    for (int i = 0; i < 77; ++i)
        out += changes.count(i) ? changes[i] + "\r\n" : line(i < cut ? text : rest, i);
    return out;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t p = 0; (p = text.find(from, p)) != std::string::npos; p += to.size())
        text.replace(p, from.size(), to);
    return text;
}

struct Reading {
    const char* what;
    std::string text;
    Kind kind;
    std::string record;  // memory and the file after the load (a first run and an upgrade renumber)
    std::string first_problem = {};  // with the number of problems
    std::size_t problems = 0;
    std::vector<std::string> kept = {};  // the copies Qimdat.dat.damaged-N kept before
    std::string copy = "1";              // the N a damaged file is kept as; none: it cannot be
    bool unlisted = false;               // the folder cannot be listed
};

using Lines = std::vector<std::tuple<int, std::string, std::string>>;  // as written, as read
Reading changed(const char* what, const std::string& base, Kind kind, const Lines& lines,
                std::string problem = {}, std::size_t problems = 0) {
    std::map<int, std::string> written, taken;
    for (const auto& [i, text, read] : lines) {
        written[i] = text;
        taken[i] = read;
    }
    return {what, edited(base, written), kind, edited(base, taken), problem, problems};
}

Reading copies(const char* what, std::vector<std::string> kept, std::string copy,
               bool unlisted = false) {
    return {what, "damaged", Kind::Damaged, kFresh, {}, 0, std::move(kept), copy, unlisted};
}

std::vector<Reading> readings() {
    const std::string limits = edited(kFull, {{0, "-32768,\" leading and trailing \""},
                                              {1, "32767,\"tab\there.map\""},
                                              {2, "0,\"caf\xc3\xa9.map\""},
                                              {4, "4,\"\xe9t\xe9\xff\x80\x01\""},
                                              {5, "5,\",\""},
                                              {6, "6,\"" + std::string(kMaxNameBytes, 'x') + "\""},
                                              {68, "-5"},
                                              {69, "1000,-2147483648,2147483647,4"}});
    return {
        {"no bytes: a first run", "", Kind::Empty, kFresh},
        {"blank lines after the colours", kFull + "\r\n \r\n", Kind::Complete, kFull},
        {"every value at its limits", limits, Kind::Complete, limits},
        {"LF line ends", replaced(kFull, "\r\n", "\n"), Kind::Complete, kFull},
        {"one value per line", replaced(kFresh, ",", "\n"), Kind::Complete, kFresh},
        changed("loose spelling", kFresh, Kind::Complete,
                {{0, ",\"a\"", "0,\"a\""},
                 {1, " +12 , \"b\" ", "12,\"b\""},
                 {2, "3,unquoted name", "3,\"unquoted name\""},
                 {3, "\"4\",\"\"", "4,\"\""},
                 {69, ",255,255,0", "0,255,255,0"}}),
        {"an earlier version's file", edited(kFull, {}, 69), Kind::Upgrade,
         edited(catalogue(0, true, "12\r\n"), {}, 69, kFresh)},
        {"an earlier version's file with LF and no selection",
         replaced(edited(kFull, {{68, ""}}, 69), "\r\n", "\n"), Kind::Upgrade,
         edited(catalogue(0, true, ""), {}, 68, kFresh)},
        {"a blank line", "\r\n", Kind::Damaged, kFresh},
        {"no selection line", edited(kFull, {}, 68), Kind::Damaged, edited(kFull, {}, 68, kFresh),
         "the file ends on line 69, before all values were read", 1},
        {"ends inside the slot lines", edited(kFull, {}, 30) + "130,\"map 3", Kind::Damaged,
         edited(kFull, {{30, "130,\"\""}}, 30, kFresh),
         "line 31: a quoted text is not closed on its line", 2},
        {"ends inside the colour lines", edited(kFull, {}, 75) + "22,2", Kind::Damaged,
         edited(kFull, {{75, "22,2,255"}}, 75, kFresh)},
        {"content after the colours", kFull + "notes of mine\r\n", Kind::Damaged, kFull,
         "line 78: there is more after the colours", 1},
        {"a huge file", kFull + std::string(2 << 20, 'x'), Kind::Damaged, kFull},
        // Each line of the slots and colours is read on its own: nothing after a bad value shifts.
        changed("bad values", kFull, Kind::Damaged,
                {{4, "4,\"map 4.map\",extra", "4,\"map 4.map\""},
                 {6, "40000,\"map 6.map\"", "6,\"map 6.map\""},
                 {8, "8", "8,\"\""},
                 {10, "x10,\"map 10.map\"", "10,\"map 10.map\""},
                 {12, "12,\"unclosed", "12,\"\""},
                 {14, "14,\"a\"b", "14,\"\""},
                 {16, std::string("16,\"nul\0\x1a.map\"", 14), "16,\"\""},
                 {18, "118,", "118,\"\""},
                 {30, "130,\"" + std::string(5000, 'n') + "\"", "130,\"\""},
                 {72, "13,red,15", "13,255,15"}},
                "line 5 holds too many values", 9),
        // ... unless reading the values in order, whatever the lines, loses fewer.
        {"one value per line, then notes", replaced(kFresh, ",", "\n") + "notes\n", Kind::Damaged,
         kFresh, "line 165: there is more after the colours", 1},
        // A copy is numbered above the highest kept, past a gap the user left; at the limit of
        // long, or without a listing, the lowest free number serves. None is ever overwritten.
        copies("a copy kept before", {"1", "7"}, "8"),
        copies("a copy at the limit", {"1", std::to_string(LONG_MAX), "99999999999999999999999"},
               "2"),
        copies("an unlisted folder", {"1", "2"}, "3", true),
        copies("no free number", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, "", true)};
}

TEST(DatabaseText, ReadWrittenBackAndLoaded) {
    for (const Reading& row : readings()) {
        SCOPED_TRACE(row.what);
        DatabaseRead read = parse_database(row.text);
        EXPECT_EQ(read.kind, row.kind);
        if (!row.first_problem.empty()) {
            EXPECT_EQ(read.problems.size(), row.problems);
            EXPECT_EQ(read.problems.at(0), row.first_problem);
        }
        const bool renumbered = row.kind == Kind::Empty || row.kind == Kind::Upgrade;
        const std::string parsed =
            format_database(read.record, renumbered ? Numbering::ByIndex : Numbering::ByMapnum);
        EXPECT_EQ(parsed, row.record);

        testing::TempFolder folder;
        HeadlessServices services(folder.str());
        services.fail_lists = row.unlisted ? std::optional("Input/output error") : std::nullopt;
        for (const std::string& n : row.kept)
            folder.write("Qimdat.dat.damaged-" + n, n);
        folder.write(kDatabaseFile, row.text);
        State state;
        load_database(state, services);
        const std::string memory = format_database(state, Numbering::ByMapnum);
        const bool left = row.kind == Kind::Complete || row.copy.empty();
        EXPECT_EQ(memory, parsed);
        EXPECT_EQ(folder.read(kDatabaseFile), left ? row.text : memory);
        EXPECT_EQ(services.writes, left ? 0 : 1);
        for (const std::string& n : row.kept)
            EXPECT_EQ(folder.read("Qimdat.dat.damaged-" + n), n);
        ASSERT_EQ(services.messages.size(), row.kind == Kind::Complete ? 0u : 1u);
        if (row.kind == Kind::Complete)
            continue;
        const ShownMessage& told = services.messages[0];
        EXPECT_TRUE(told.title == "Dorvane" && told.buttons == Buttons::Ok);
        EXPECT_TRUE(told.prompt.starts_with(
            renumbered ? "The file Qimdat.dat has been created/updated in"
                       : "The file Qimdat.dat is damaged (" + row.first_problem))
            << told.prompt;
        if (renumbered)
            continue;
        EXPECT_EQ(folder.read("Qimdat.dat.damaged-" + row.copy), left ? "" : row.text);
        EXPECT_NE(told.prompt.find(!left ? "kept unchanged as Qimdat.dat.damaged-" + row.copy + "."
                                         : "could not keep a copy of it (its folder could not "
                                           "be listed: Input/output error; "),
                  std::string::npos)
            << told.prompt;
    }
}

// A file that cannot be read is left as it is, not kept aside; a first write that fails is
// reported and the program goes on from memory. A name the format cannot carry leaves the file
// as it was; no change another program saved is undone; savemaps fills the chosen slot (slot 0
// before any), its number never wrapped.
TEST(DatabaseFile, ASaveWritesOnlyWhatReadsBackAndUndoesNoOtherChange) {
    testing::TempFolder folder;
    HeadlessServices services(folder.str());
    std::filesystem::create_directory(folder.path() / kDatabaseFile);
    State state;
    load_database(state, services);
    EXPECT_NE(services.messages.at(0).prompt.find("is damaged (it could not be read: "),
              std::string::npos);
    EXPECT_EQ(services.writes, 0);
    std::filesystem::remove(folder.path() / kDatabaseFile);
    services.fail_writes = "Read-only file system";
    state = State();
    load_database(state, services);
    ASSERT_EQ(services.messages.size(), 3u);
    EXPECT_NE(services.messages[2].prompt.find("Read-only file system. The file was left as it"),
              std::string::npos);
    EXPECT_EQ(format_database(state, Numbering::ByMapnum), kFresh);
    services.fail_writes.reset();
    services.messages.clear();
    folder.write(kDatabaseFile, kFull);
    state = State();
    load_database(state, services);
    for (const std::string& name :
         {std::string("a\"b.map"), std::string("two\nlines"), std::string("cr\r"),
          std::string("nul\0.map", 8), std::string(kMaxNameBytes + 1, 'a')}) {
        state.maps[20].mapname = name;
        EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
    }
    EXPECT_EQ(folder.read(kDatabaseFile), kFull);
    ASSERT_EQ(services.messages.size(), 5u);
    for (const ShownMessage& told : services.messages)
        EXPECT_NE(told.prompt.find("slot 21"), std::string::npos);
    folder.write(kDatabaseFile, edited(kFull, {{5, "5,\"theirs.map\""}}));
    state.maps[20].mapname = "mine.map";
    EXPECT_TRUE(write_database(state, Numbering::ByMapnum, services));
    for (auto [slot, name, number] : {std::tuple(SlotIndex(7), "e1l1.map", 7L),
                                      {std::nullopt, "first.map", -3L},
                                      {SlotIndex(9), "big.map", 65536L + 2}}) {
        state.map = slot;
        state.t_mapname = name;
        state.t_mapnum = number;
        EXPECT_TRUE(savemaps(state, services));
    }
    EXPECT_EQ(folder.read(kDatabaseFile), edited(kFull, {{0, "-3,\"first.map\""},
                                                         {5, "5,\"theirs.map\""},
                                                         {7, "7,\"e1l1.map\""},
                                                         {9, "9,\"big.map\""},
                                                         {20, "120,\"mine.map\""}}));
}

}  // namespace
}  // namespace dorvane
