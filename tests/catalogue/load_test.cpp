// SPDX-License-Identifier: MIT
// Loading and saving Qimdat.dat through the services, on real files in a temporary folder: the
// start-up and quit, the save's safety, and the copies a damaged file is kept in.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using samples::edited;
using samples::kFresh;
using samples::kFull;

struct DatabaseFile : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    State state;
    std::string file() const { return folder.read(kDatabaseFile); }
    const std::string& told(std::size_t i = 0) const { return services.messages.at(i).prompt; }
};

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

TEST_F(DatabaseFile, AFailedFirstWriteIsReportedAndTheProgramGoesOnFromMemory) {
    services.fail_writes = "Read-only file system";
    load_database(state, services);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_NE(told(1).find("Qimdat.dat: Read-only file system. The file was left as it was"),
              std::string::npos)
        << told(1);
    EXPECT_FALSE(folder.exists(kDatabaseFile));
    EXPECT_EQ(format_database(state, Numbering::ByMapnum), kFresh);
}

// Memory may hold a name the format cannot carry; the file must never say something else.
TEST_F(DatabaseFile, AnUnstorableNameLeavesTheFileAsItWas) {
    folder.write(kDatabaseFile, kFull);
    load_database(state, services);
    for (const std::string& name :
         {std::string("a\"b.map"), std::string("two\nlines"), std::string("cr\r"),
          std::string("nul\0.map", 8), std::string(kMaxNameBytes + 1, 'a')}) {
        services.messages.clear();
        state.maps[20].mapname = name;
        EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
        EXPECT_EQ(file(), kFull);
        EXPECT_NE(told().find("slot 21"), std::string::npos);
    }
    EXPECT_EQ(services.writes, 0);
}

// What another program saved since the load is taken in, not undone.
TEST_F(DatabaseFile, ASaveKeepsAnotherWritersChange) {
    folder.write(kDatabaseFile, kFull);
    load_database(state, services);
    folder.write(kDatabaseFile, edited(kFull, {{5, "5,\"theirs.map\""}}));
    state.maps[0].mapname = "mine.map";
    EXPECT_TRUE(write_database(state, Numbering::ByMapnum, services));
    EXPECT_EQ(file(), edited(kFull, {{0, "100,\"mine.map\""}, {5, "5,\"theirs.map\""}}));
}

// The hand-over goes into the chosen slot, slot 0 before any choice; a number beyond 16 bits is
// not wrapped into another slot's number.
TEST_F(DatabaseFile, SavemapsStoresTheHandOverIntoTheChosenSlot) {
    load_database(state, services);
    for (auto [slot, name, number] : {std::tuple(SlotIndex(7), "e1l1.map", 7L),
                                      {std::nullopt, "first.map", -3L},
                                      {SlotIndex(9), "big.map", 65536L + 2}}) {
        state.map = slot;
        state.t_mapname = name;
        state.t_mapnum = number;
        EXPECT_TRUE(savemaps(state, services));
    }
    EXPECT_EQ(
        file(),
        edited(kFresh, {{0, "-3,\"first.map\""}, {7, "7,\"e1l1.map\""}, {9, "9,\"big.map\""}}));
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
        const std::string db = c.copy.empty() && !c.unlisted ? "" : "damaged";
        if (db.empty())
            std::filesystem::create_directory(folder.path() / kDatabaseFile);
        else
            folder.write(kDatabaseFile, db);
        State state;
        load_database(state, services);
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(
            services.messages[0].prompt.find(
                !c.copy.empty() ? "It was kept unchanged as Qimdat.dat.damaged-" + c.copy + "."
                : c.unlisted    ? "could not keep a copy of it (its folder could not be "
                                  "listed: Input/output error; "
                                : "could not keep a copy of it ("),
            std::string::npos)
            << services.messages[0].prompt;
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
