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

// The database code reaches only the folder's files and the user: a double of just those two,
// here real files whose folder listing fails, is all it takes.
struct UnlistableFolder : FileService {
    explicit UnlistableFolder(std::string folder) : files(std::move(folder)) {}
    FileRead read_file(const std::string& name, std::size_t limit) override {
        return files.read_file(name, limit);
    }
    FileWrite replace_file(const std::string& name, std::string_view bytes,
                           std::optional<std::string_view> expected) override {
        return files.replace_file(name, bytes, expected);
    }
    FileWrite keep_copy(const std::string& name, const std::string& copy_name) override {
        ++copies_tried;
        return files.keep_copy(name, copy_name);
    }
    FileListing list_files(const std::string&, Hidden) override {
        return {false, {}, "Input/output error"};
    }
    NameOnDisk real_name(const std::string& name) override { return files.real_name(name); }
    NativeFiles files;
    int copies_tried = 0;
};

struct Told : MessageBoxService {
    Answer message_box(const std::string& prompt, const std::string&, Buttons) override {
        prompts.push_back(prompt);
        return Answer::Ok;
    }
    std::vector<std::string> prompts;
};

// Without a listing the numbers in use are unknown: the copy takes the lowest free number and
// overwrites none of those kept before.
TEST(DamagedFileUnlisted, IsKeptUnderAFreeNumberWithoutOverwritingAny) {
    testing::TempFolder folder;
    folder.write("Qimdat.dat.damaged-1", "the first");
    folder.write("Qimdat.dat.damaged-2", "the second");
    folder.write(kDatabaseFile, "damaged");
    UnlistableFolder files(folder.str());
    Told told;
    State state;
    load_database(state, {files, told});
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-1"), "the first");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-2"), "the second");
    EXPECT_EQ(folder.read("Qimdat.dat.damaged-3"), "damaged");
    ASSERT_EQ(told.prompts.size(), 1u);
    EXPECT_NE(told.prompts[0].find("kept unchanged as Qimdat.dat.damaged-3"), std::string::npos)
        << told.prompts[0];
    EXPECT_EQ(parse_database(folder.read(kDatabaseFile)).kind, DatabaseRead::Kind::Complete);
}

// When every number tried is taken as well, the message names the listing's failure, and the
// damaged file stays as it is.
TEST(DamagedFileUnlisted, ACopyThatCannotBeKeptNamesTheListingsFailure) {
    testing::TempFolder folder;
    for (int n = 1; n <= 10; ++n)
        folder.write("Qimdat.dat.damaged-" + std::to_string(n), "kept");
    folder.write(kDatabaseFile, "damaged");
    UnlistableFolder files(folder.str());
    Told told;
    State state;
    load_database(state, {files, told});
    EXPECT_EQ(files.copies_tried, 10);
    ASSERT_EQ(told.prompts.size(), 1u);
    EXPECT_NE(told.prompts[0].find("could not keep a copy of it (its folder could not be listed: "
                                   "Input/output error; "),
              std::string::npos)
        << told.prompts[0];
    EXPECT_EQ(folder.read(kDatabaseFile), "damaged");
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(folder.read("Qimdat.dat.damaged-" + std::to_string(n)), "kept");
}

}  // namespace
}  // namespace dorvane
