// SPDX-License-Identifier: MIT
// A damaged Qimdat.dat at start-up: kept aside unchanged, read as far as it can be, mended.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <filesystem>
#include <random>

#include "catalogue/database.h"
#include "platform/headless/headless.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct Damage {
    std::string what;
    std::string bytes;
};

std::vector<Damage> damaged_files() {
    const std::string full = samples::full_catalogue();
    std::vector<std::string> lines = samples::lines(full);
    auto with_line = [&](int i, std::string text) {
        std::vector<std::string> copy = lines;
        copy[i] = std::move(text);
        return samples::join(copy);
    };
    std::mt19937 random(42);
    std::string garbage;
    for (int i = 0; i < 3000; ++i)
        garbage += static_cast<char>(random() % 4 == 0 ? 0 : random() % 256);
    return {
        {"ends inside the slot lines", full.substr(0, full.size() / 2)},
        {"ends inside the colour lines", full.substr(0, full.size() - 15)},
        {"a slot number that is not a number", with_line(30, "thirty,\"map 30.map\"")},
        {"a slot number beyond 16 bits", with_line(30, "40000,\"map 30.map\"")},
        {"a colour that is not a number", with_line(76, "25,white,27")},
        {"an overlong line", with_line(30, "130,\"" + std::string(5000, 'n') + "\"")},
        {"binary garbage", garbage},
        {"NUL bytes in a line", with_line(30, std::string("130,\"\0\0\0\"", 9))},
        {"a huge file", full + std::string(2 << 20, 'x')},
        {"content after the colours", full + "keep me\r\n"},
        {"seventy lines", samples::join({lines.begin(), lines.begin() + 70})},
    };
}

struct DamagedFile : ::testing::TestWithParam<Damage> {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    State state;
};

TEST_P(DamagedFile, IsKeptAsideReadAsFarAsPossibleAndMended) {
    const Damage& damage = GetParam();
    folder.write(kDatabaseFile, damage.bytes);
    load_database(state, services);

    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), damage.bytes);
    ASSERT_EQ(services.messages.size(), 1u);
    const ShownMessage& message = services.messages[0];
    EXPECT_EQ(message.title, "Dorvane");
    EXPECT_EQ(message.buttons, Buttons::Ok);
    EXPECT_NE(message.prompt.find("Qimdat.dat.damaged-1"), std::string::npos) << message.prompt;

    // The file is complete again and holds what memory holds.
    DatabaseRead mended = parse_database(folder.read(kDatabaseFile));
    ASSERT_EQ(mended.kind, DatabaseRead::Kind::Complete);
    EXPECT_EQ(format_database(mended.record, Numbering::ByMapnum),
              format_database(state, Numbering::ByMapnum));
    // Whatever came before the damage was read.
    if (damage.what != "binary garbage") {
        EXPECT_EQ(state.maps[0].mapname, "map 0.map");
        EXPECT_EQ(state.maps[0].mapnum, 100);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DamagedFile, ::testing::ValuesIn(damaged_files()),
                         [](const auto& info) {
                             std::string name;
                             for (char c : info.param.what)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

struct DamagedFileOutcome : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    State state;
};

TEST_F(DamagedFileOutcome, ReadableValuesAreTakenAndTheRestAreFirstRunValues) {
    std::vector<std::string> lines = samples::lines(samples::full_catalogue());
    lines[30] = "40000,\"map 30.map\"";
    lines[76] = "25,white,27";
    folder.write(kDatabaseFile, samples::join(lines));
    load_database(state, services);
    EXPECT_EQ(state.maps[30].mapnum, 30);  // the first-run value, not 40000 wrapped
    EXPECT_EQ(state.maps[30].mapname, "map 30.map");
    EXPECT_EQ(state.maps[31].mapnum, 131);
    EXPECT_EQ(state.selected_map, 12);
    EXPECT_EQ(state.tcr, 25);
    EXPECT_EQ(state.tcg, 255);
    EXPECT_EQ(state.tcb, 27);
    std::vector<std::string> written = samples::lines(folder.read(kDatabaseFile));
    EXPECT_EQ(written[30], "30,\"map 30.map\"");
    EXPECT_EQ(written[31], "131,\"map 31.map\"");
    EXPECT_EQ(written[76], "25,255,27");
    const std::string& prompt = services.messages.at(0).prompt;
    EXPECT_NE(prompt.find("line 31"), std::string::npos) << prompt;
    EXPECT_NE(prompt.find("line 77"), std::string::npos) << prompt;
}

TEST_F(DamagedFileOutcome, ASecondDamageNeverOverwritesTheFirstKeptCopy) {
    folder.write(kDatabaseFile, "first damage");
    load_database(state, services);
    folder.write(kDatabaseFile, "second damage");
    State again;
    load_database(again, services);
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), "first damage");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-2"), "second damage");
    EXPECT_NE(services.messages.at(1).prompt.find("Qimdat.dat.damaged-2"), std::string::npos);

    // Numbering goes on above the highest copy, even past a gap the user left.
    folder.write("Qimdat.dat.damaged-7", "kept by hand");
    std::filesystem::remove(folder.path() / "Qimdat.dat.damaged-2");
    folder.write(kDatabaseFile, "third damage");
    State third;
    load_database(third, services);
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-8"), "third damage");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-7"), "kept by hand");
    EXPECT_EQ(services.messages.size(), 3u);
}

// A copy numbered at the limit of long leaves no number above it: the lowest free one serves.
TEST_F(DamagedFileOutcome, ACopyNumberedAtTheLimitTakesTheLowestFreeNumber) {
    const std::string at_limit = "Qimdat.dat.damaged-" + std::to_string(LONG_MAX);
    folder.write(at_limit, "at the limit");
    folder.write("Qimdat.dat.damaged-1", "the first");
    folder.write("Qimdat.dat.damaged-99999999999999999999999", "beyond long");
    folder.write(kDatabaseFile, "damaged");
    load_database(state, services);
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-2"), "damaged");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), "the first");
    EXPECT_EQ(folder.read(at_limit), "at the limit");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-99999999999999999999999"), "beyond long");
    EXPECT_NE(services.messages.at(0).prompt.find("Qimdat.dat.damaged-2"), std::string::npos);
    EXPECT_EQ(parse_database(folder.read(kDatabaseFile)).kind, DatabaseRead::Kind::Complete);
}

// A file that cannot be kept aside is not replaced: the user's only copy stays.
TEST_F(DamagedFileOutcome, AnUnreadableFileThatCannotBeKeptIsLeftAlone) {
    std::filesystem::create_directory(folder.path() / kDatabaseFile);
    load_database(state, services);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].prompt.find("could not keep a copy"), std::string::npos)
        << services.messages[0].prompt;
    EXPECT_EQ(services.writes, 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / kDatabaseFile));
    EXPECT_EQ(state.maps[10].mapnum, 10);
    EXPECT_EQ(state.dcg, 255);
}

}  // namespace
}  // namespace dorvane
