// SPDX-License-Identifier: MIT
// Qimdat.dat on real files in a temporary folder: what the reader makes of a text, the exact
// bytes written back, what a load leaves in memory and on disk (a damaged file kept aside
// unchanged, then mended), the start-up and quit, and the save's safety.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <map>
#include <tuple>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using Kind = DatabaseRead::Kind;
using samples::edited;
using samples::kFresh;
using samples::kFull;
using samples::replaced;

struct Reading {
    const char* what;
    std::string text;
    Kind kind;
    // What memory and the file hold after the load; a first run and an upgrade renumber the
    // slots.
    std::string record;
    std::string first_problem = {};  // with the number of problems
    std::size_t problems = 0;
};

// Lines of a file as they are written, and as the reader takes them.
using Lines = std::vector<std::tuple<int, std::string, std::string>>;
Reading changed(const char* what, const std::string& base, Kind kind, const Lines& lines,
                std::string problem = {}, std::size_t problems = 0) {
    std::map<int, std::string> written, taken;
    for (const auto& [i, text, read] : lines) {
        written[i] = text;
        taken[i] = read;
    }
    return {what, edited(base, written), kind, edited(base, taken), problem, problems};
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
        {"the first run's file", kFresh, Kind::Complete, kFresh},
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
         edited(samples::catalogue(0, true, "12\r\n"), {}, 69, kFresh)},
        {"an earlier version's file with LF and no selection",
         replaced(edited(kFull, {{68, ""}}, 69), "\r\n", "\n"), Kind::Upgrade,
         edited(samples::catalogue(0, true, ""), {}, 68, kFresh)},
        {"a blank line", "\r\n", Kind::Damaged, kFresh},
        {"no selection line", edited(kFull, {}, 68), Kind::Damaged, edited(kFull, {}, 68, kFresh),
         "the file ends on line 69, before all values were read", 1},
        {"seventy lines", edited(kFull, {}, 70), Kind::Damaged, edited(kFull, {}, 70, kFresh)},
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
    };
}

TEST(DatabaseText, ReadWrittenBackAndLoaded) {
    for (const Reading& row : readings()) {
        SCOPED_TRACE(row.what);
        DatabaseRead read = parse_database(row.text);
        EXPECT_EQ(read.kind, row.kind);
        EXPECT_EQ(read.problems.empty(), row.kind != Kind::Damaged);
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
        folder.write(kDatabaseFile, row.text);
        State state;
        load_database(state, services);
        const std::string memory = format_database(state, Numbering::ByMapnum);
        EXPECT_EQ(memory, parsed);
        EXPECT_EQ(folder.read(kDatabaseFile), row.kind == Kind::Complete ? row.text : memory);
        EXPECT_EQ(services.writes, row.kind == Kind::Complete ? 0 : 1);
        ASSERT_EQ(services.messages.size(), row.kind == Kind::Complete ? 0u : 1u);
        if (row.kind == Kind::Complete)
            continue;
        const ShownMessage& told = services.messages[0];
        EXPECT_EQ(told.title, "Dorvane");
        EXPECT_EQ(told.buttons, Buttons::Ok);
        if (renumbered) {
            EXPECT_EQ(told.prompt,
                      "The file Qimdat.dat has been created/updated in the directory in which "
                      "Dorvane resides, due to the fact that it either did not previously exist "
                      "or due to the fact that Dorvane has been upgraded.");
            continue;
        }
        EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), row.text);
        EXPECT_NE(told.prompt.find("is damaged (" + row.first_problem), std::string::npos)
            << told.prompt;
        EXPECT_NE(told.prompt.find("kept unchanged as Qimdat.dat.damaged-1."), std::string::npos);
    }
}

// No file and a file of zero bytes are both a first run; there, and where the stored selection
// is no slot, slot 0 is chosen, and quitting stores it.
TEST(DatabaseStart, ChoosesASlotAndQuitStoresIt) {
    for (int start = 0; start < 3; ++start) {
        testing::TempFolder folder;
        HeadlessServices services(folder.str());
        if (start > 0)
            folder.write(kDatabaseFile, start == 1 ? "" : edited(kFull, {{68, "99"}}));
        Dorvane main(services);
        main.Form_Load();
        EXPECT_EQ(main.state.map, 0);
        EXPECT_EQ(main.state.selected_map, 0);
        EXPECT_EQ(services.messages.size(), start < 2 ? 1u : 0u);
        main.Quit_Click();
        EXPECT_EQ(folder.read(kDatabaseFile), edited(start < 2 ? kFresh : kFull, {{68, "0"}}));
        EXPECT_EQ(services.ended, 1);
    }
}

TEST(DatabaseFile, AFailedFirstWriteIsReportedAndTheProgramGoesOnFromMemory) {
    testing::TempFolder folder;
    HeadlessServices services(folder.str());
    services.fail_writes = "Read-only file system";
    State state;
    load_database(state, services);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_NE(services.messages[1].prompt.find(
                  "Qimdat.dat: Read-only file system. The file was left as it was"),
              std::string::npos)
        << services.messages[1].prompt;
    EXPECT_FALSE(folder.exists(kDatabaseFile));
    EXPECT_EQ(format_database(state, Numbering::ByMapnum), kFresh);
}

// Memory may hold a name the format cannot carry: the file must never say something else, so it
// stays as it was. A save undoes no change another program saved since the load. The map handed
// to savemaps goes into the chosen slot, slot 0 before any choice; a number beyond 16 bits is
// not wrapped into another slot's number.
TEST(DatabaseFile, ASaveWritesOnlyWhatReadsBackAndUndoesNoOtherChange) {
    testing::TempFolder folder;
    HeadlessServices services(folder.str());
    folder.write(kDatabaseFile, kFull);
    State state;
    load_database(state, services);
    for (const std::string& name :
         {std::string("a\"b.map"), std::string("two\nlines"), std::string("cr\r"),
          std::string("nul\0.map", 8), std::string(kMaxNameBytes + 1, 'a')}) {
        state.maps[20].mapname = name;
        EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
        EXPECT_NE(services.messages.back().prompt.find("slot 21"), std::string::npos);
    }
    EXPECT_EQ(folder.read(kDatabaseFile), kFull);
    EXPECT_EQ(services.messages.size(), 5u);
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

// A damaged file's copy is numbered above the highest kept (past a gap the user left); at the
// limit of long, or in a folder that cannot be listed, the lowest free number serves. No copy is
// ever overwritten, and a file that cannot be kept is left as it is.
TEST(DamagedFile, KeptCopiesOverwriteNone) {
    struct Case {
        std::vector<std::string> kept;
        bool unlisted;
        std::string copy;  // none: no copy can be kept (without a listing, or of a folder)
    };
    const std::vector<Case> cases = {
        {{"1"}, false, "2"},
        {{"1", "7"}, false, "8"},
        {{"1", std::to_string(LONG_MAX), "99999999999999999999999"}, false, "2"},
        {{"1", "2"}, true, "3"},
        {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, true, ""},
        {{}, false, ""},
    };
    for (const Case& c : cases) {
        testing::TempFolder folder;
        HeadlessServices services(folder.str());
        if (c.unlisted)
            services.fail_lists = "Input/output error";
        for (const std::string& n : c.kept)
            folder.write("Qimdat.dat.damaged-" + n, n);
        const std::string db = c.kept.empty() ? "" : "damaged";
        if (db.empty())
            std::filesystem::create_directory(folder.path() / kDatabaseFile);
        else
            folder.write(kDatabaseFile, db);
        State state;
        load_database(state, services);
        ASSERT_EQ(services.messages.size(), 1u);
        const std::string told =
            !c.copy.empty() ? "It was kept unchanged as Qimdat.dat.damaged-" + c.copy + "."
            : c.unlisted    ? "could not keep a copy of it (its folder could not be listed: "
                              "Input/output error; "
                            : "could not keep a copy of it (";
        EXPECT_NE(services.messages[0].prompt.find(told), std::string::npos) << told;
        for (const std::string& n : c.kept)
            EXPECT_EQ(folder.read("Qimdat.dat.damaged-" + n), n);
        EXPECT_EQ(folder.read("Qimdat.dat.damaged-" + c.copy), c.copy.empty() ? "" : db);
        EXPECT_EQ(folder.read(kDatabaseFile), c.copy.empty() ? db : kFresh);
        EXPECT_EQ(services.writes, c.copy.empty() ? 0 : 1);
        EXPECT_EQ(format_database(state, Numbering::ByMapnum), kFresh);
    }
}

}  // namespace
}  // namespace dorvane
