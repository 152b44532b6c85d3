// SPDX-License-Identifier: MIT
// Loading and writing Qimdat.dat through the services, on real files in a temporary folder.
#include <gtest/gtest.h>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

const std::string kCreated =
    "The file Qimdat.dat has been created/updated in the directory in which Dorvane resides, due "
    "to the fact that it either did not previously exist or due to the fact that Dorvane has been "
    "upgraded.";

struct DatabaseFile : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    State state;

    std::string file() const { return folder.read(kDatabaseFile); }
    void expect_one_message(const std::string& text) const {
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_EQ(services.messages[0].prompt, text);
        EXPECT_EQ(services.messages[0].title, "Dorvane");
        EXPECT_EQ(services.messages[0].buttons, Buttons::Ok);
    }
};

// No file and a file of zero bytes are both a first run.
TEST_F(DatabaseFile, FirstRunCreatesTheFreshFileAndQuitStoresSlotZero) {
    for (bool zero_bytes : {false, true}) {
        services.messages.clear();
        if (zero_bytes)
            folder.write(kDatabaseFile, "");
        Dorvane main(services);
        main.Form_Load();
        expect_one_message(kCreated);
        EXPECT_EQ(file(), samples::fresh_file());
        EXPECT_EQ(main.state.map, 0);
        EXPECT_EQ(main.state.selected_map, 0);
        main.Quit_Click();
        EXPECT_EQ(samples::lines(file()).at(68), "0");
        EXPECT_EQ(services.messages.size(), 1u);
    }
    EXPECT_EQ(services.ended, 2);
}

TEST_F(DatabaseFile, UpgradeKeepsNamesAndSelectionRenumbersAndAddsColours) {
    std::vector<std::string> lines = samples::lines(samples::full_catalogue());
    lines.resize(69);
    folder.write(kDatabaseFile, samples::join(lines));
    load_database(state, services);
    expect_one_message(kCreated);

    std::vector<std::string> written = samples::lines(file());
    ASSERT_EQ(written.size(), 77u);
    EXPECT_EQ(written[0], "0,\"map 0.map\"");
    EXPECT_EQ(written[3], "3,\"map 3, the third.map\"");
    EXPECT_EQ(written[67], "67,\"map 67.map\"");
    EXPECT_EQ(written[68], "12");
    std::vector<std::string> fresh = samples::lines(samples::fresh_file());
    EXPECT_EQ(std::vector(written.begin() + 69, written.end()),
              std::vector(fresh.begin() + 69, fresh.end()));
    EXPECT_EQ(state.maps[3].mapname, "map 3, the third.map");
    EXPECT_EQ(state.maps[3].mapnum, 3);
    EXPECT_EQ(state.selected_map, 12);
    EXPECT_EQ(state.BCTBcB, 255);

    // An empty selection stays empty (here in a file with LF line ends).
    lines[68] = "";
    std::string lf;
    for (const std::string& line : lines)
        lf += line + "\n";
    folder.write(kDatabaseFile, lf);
    State again;
    load_database(again, services);
    EXPECT_FALSE(again.selected_map);
    EXPECT_EQ(samples::lines(file())[68], "");
}

TEST_F(DatabaseFile, CompleteFileLoadsSilentlyAndIsNotRewritten) {
    folder.write(kDatabaseFile, samples::full_catalogue());
    load_database(state, services);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.writes, 0);
    EXPECT_EQ(state.maps[5].mapname, "map 5.map");
    EXPECT_EQ(state.maps[5].mapnum, 105);
    EXPECT_EQ(state.selected_map, 12);
    int value = 1;  // the colour components in the file's order
    for (ColourField field : kColourFields)
        EXPECT_EQ(state.*field, value++);
    // The ordinary write gives back the same bytes.
    EXPECT_TRUE(write_database(state, Numbering::ByMapnum, services));
    EXPECT_EQ(file(), samples::full_catalogue());
}

TEST_F(DatabaseFile, SelectionOutsideTheSlotsIsKeptAndChoosesSlotZero) {
    std::vector<std::string> lines = samples::lines(samples::full_catalogue());
    lines[68] = "99";
    folder.write(kDatabaseFile, samples::join(lines));
    load_database(state, services);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(state.selected_map, 99);

    Dorvane main(services);
    main.Form_Load();
    EXPECT_EQ(main.state.map, 0);
    EXPECT_EQ(main.state.selected_map, 0);
}

TEST_F(DatabaseFile, SavemapsStoresTheHandOverIntoTheChosenSlot) {
    folder.write(kDatabaseFile, samples::fresh_file());
    load_database(state, services);
    state.map = 7;
    state.t_mapname = "e1l1.map";
    state.t_mapnum = 7;
    EXPECT_TRUE(savemaps(state, services));
    EXPECT_EQ(samples::lines(file())[7], "7,\"e1l1.map\"");

    // Before any selection the map goes into slot 0.
    state.map.reset();
    state.t_mapname = "first.map";
    state.t_mapnum = -3;
    EXPECT_TRUE(savemaps(state, services));
    EXPECT_EQ(samples::lines(file())[0], "-3,\"first.map\"");

    // A number beyond 16 bits is not wrapped into another slot's number.
    state.map = 9;
    state.t_mapnum = 65536 + 2;
    EXPECT_TRUE(savemaps(state, services));
    EXPECT_EQ(state.maps[9].mapnum, 9);
    EXPECT_EQ(services.writes, 3);
}

TEST_F(DatabaseFile, AFailedWriteIsReportedAndLeavesTheOldFile) {
    folder.write(kDatabaseFile, samples::full_catalogue());
    load_database(state, services);
    state.maps[0].mapname = "new.map";
    services.fail_writes = "No space left on device";
    EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
    EXPECT_EQ(file(), samples::full_catalogue());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].prompt.find("Qimdat.dat"), std::string::npos);
    EXPECT_NE(services.messages[0].prompt.find("No space left on device"), std::string::npos);
    EXPECT_EQ(services.messages[0].title, "Dorvane");
    EXPECT_EQ(state.maps[0].mapname, "new.map");  // the program goes on from memory
}

TEST_F(DatabaseFile, FirstRunWithAFailedWriteGoesOnFromMemory) {
    services.fail_writes = "Read-only file system";
    load_database(state, services);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].prompt, kCreated);
    EXPECT_NE(services.messages[1].prompt.find("Read-only file system"), std::string::npos);
    EXPECT_FALSE(folder.exists(kDatabaseFile));
    EXPECT_EQ(state.tcr, 255);
    EXPECT_EQ(state.maps[67].mapnum, 67);
}

// Memory may hold a name the format cannot carry; the file must never say something else.
TEST_F(DatabaseFile, AnUnstorableNameLeavesTheFileAsItWas) {
    folder.write(kDatabaseFile, samples::full_catalogue());
    load_database(state, services);
    for (const std::string& name :
         {std::string("a\"b.map"), std::string("two\nlines.map"), std::string("nul\0.map", 8)}) {
        services.messages.clear();
        state.maps[20].mapname = name;
        EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
        EXPECT_EQ(file(), samples::full_catalogue());
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(services.messages[0].prompt.find("slot 21"), std::string::npos);
    }
    EXPECT_EQ(services.writes, 0);
    state.maps[20].mapname = "fine.map";
    EXPECT_TRUE(write_database(state, Numbering::ByMapnum, services));
}

}  // namespace
}  // namespace dorvane
