// SPDX-License-Identifier: MIT
// The database file's text: what the reader makes of it, the exact bytes written back, and what
// a load leaves in memory and on disk (a damaged file kept aside unchanged, then mended).
#include <gtest/gtest.h>

#include <random>

#include "catalogue/database.h"
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
    // What memory and the file hold after the load (empty: not known); a first run and an
    // upgrade renumber the slots.
    std::string record;
    std::string first_problem = {};  // with the number of problems
    std::size_t problems = 0;
};

std::vector<Reading> readings() {
    const std::string limits = edited(kFull, {{0, "-32768,\" leading and trailing \""},
                                              {1, "32767,\"tab\there.map\""},
                                              {2, "0,\"caf\xc3\xa9.map\""},
                                              {4, "4,\"\xe9t\xe9\xff\x80\x01\""},
                                              {5, "5,\",\""},
                                              {6, "6,\"" + std::string(kMaxNameBytes, 'x') + "\""},
                                              {68, "-5"},
                                              {69, "1000,-2147483648,2147483647,4"}});
    std::mt19937 random(42);
    std::string garbage;
    for (int i = 0; i < 3000; ++i)
        garbage += static_cast<char>(random() % 4 == 0 ? 0 : random() % 256);
    return {
        {"no bytes: a first run", "", Kind::Empty, kFresh},
        {"the first run's file", kFresh, Kind::Complete, kFresh},
        {"a full catalogue", kFull, Kind::Complete, kFull},
        {"every value at its limits", limits, Kind::Complete, limits},
        {"LF line ends", replaced(kFull, "\r\n", "\n"), Kind::Complete, kFull},
        {"one value per line", replaced(kFresh, ",", "\n"), Kind::Complete, kFresh},
        {"loose spelling",
         edited(kFresh, {{0, ",\"a\""},
                         {1, " +12 , \"b\" "},
                         {2, "3,unquoted name"},
                         {3, "\"4\",\"\""},
                         {69, ",255,255,0"}}) +
             "\r\n \r\n",
         Kind::Complete,
         edited(kFresh, {{0, "0,\"a\""},
                         {1, "12,\"b\""},
                         {2, "3,\"unquoted name\""},
                         {3, "4,\"\""},
                         {69, "0,255,255,0"}})},
        {"an earlier version's file", edited(kFull, {}, 0, 69), Kind::Upgrade,
         samples::catalogue(0, true, edited(kFull, {}, 68, 69) + edited(kFresh, {}, 69))},
        {"an earlier version's file with LF and no selection",
         replaced(edited(kFull, {{68, ""}}, 0, 69), "\r\n", "\n"), Kind::Upgrade,
         samples::catalogue(0, true, edited(kFresh, {}, 68))},
        {"a blank line", "\r\n", Kind::Damaged, kFresh},
        {"no selection line", edited(kFull, {}, 0, 68), Kind::Damaged,
         edited(kFull, {}, 0, 68) + edited(kFresh, {}, 68),
         "the file ends on line 69, before all values were read", 1},
        {"seventy lines", edited(kFull, {}, 0, 70), Kind::Damaged,
         edited(kFull, {}, 0, 70) + edited(kFresh, {}, 70)},
        {"ends inside the slot lines", edited(kFull, {}, 0, 30) + "130,\"map 3", Kind::Damaged,
         edited(kFull, {{30, "130,\"\""}}, 0, 31) + edited(kFresh, {}, 31),
         "line 31: a quoted text is not closed on its line", 2},
        {"ends inside the colour lines", edited(kFull, {}, 0, 75) + "22,2", Kind::Damaged,
         edited(kFull, {{75, "22,2,255"}}, 0, 76) + edited(kFresh, {}, 76)},
        {"content after the colours", kFull + "notes of mine\r\n", Kind::Damaged, kFull,
         "line 78: there is more after the colours", 1},
        {"a huge file", kFull + std::string(2 << 20, 'x'), Kind::Damaged, kFull},
        // Each line of the slots and colours is read on its own: nothing after a bad value shifts.
        {"bad values",
         edited(kFull, {{4, "4,\"map 4.map\",extra"},
                        {6, "40000,\"map 6.map\""},
                        {8, "8"},
                        {10, "x10,\"map 10.map\""},
                        {12, "12,\"unclosed"},
                        {14, "14,\"a\"b"},
                        {16, std::string("16,\"nul\0.map\"", 13)},
                        {18, "118,"},
                        {30, "130,\"" + std::string(5000, 'n') + "\""},
                        {72, "13,red,15"}}),
         Kind::Damaged,
         edited(kFull, {{4, "4,\"map 4.map\""},
                        {6, "6,\"map 6.map\""},
                        {8, "8,\"\""},
                        {10, "10,\"map 10.map\""},
                        {12, "12,\"\""},
                        {14, "14,\"\""},
                        {16, "16,\"\""},
                        {18, "118,\"\""},
                        {30, "130,\"\""},
                        {72, "13,255,15"}}),
         "line 5 holds too many values", 9},
        // ... unless reading the values in order, whatever the lines, loses fewer.
        {"one value per line, then notes", replaced(kFresh, ",", "\n") + "notes\n", Kind::Damaged,
         kFresh, "line 165: there is more after the colours", 1},
        {"binary garbage", garbage, Kind::Damaged, ""},
    };
}

TEST(DatabaseText, ReadWrittenBackAndLoaded) {
    for (const Reading& row : readings()) {
        SCOPED_TRACE(row.what);
        DatabaseRead read = parse_database(row.text);
        EXPECT_EQ(read.kind, row.kind);
        EXPECT_EQ(read.problems.empty(), row.kind != Kind::Damaged);
        if (!row.first_problem.empty()) {
            ASSERT_EQ(read.problems.size(), row.problems)
                << ::testing::PrintToString(read.problems);
            EXPECT_EQ(read.problems[0], row.first_problem);
        }
        const bool renumbered = row.kind == Kind::Empty || row.kind == Kind::Upgrade;
        const std::string parsed =
            format_database(read.record, renumbered ? Numbering::ByIndex : Numbering::ByMapnum);
        if (!row.record.empty()) {
            EXPECT_EQ(parsed, row.record);
        }

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

}  // namespace
}  // namespace dorvane
