// SPDX-License-Identifier: MIT
// The database file's text: exact bytes written, and what the reader makes of any text.
#include <gtest/gtest.h>

#include "catalogue/database.h"
#include "samples.h"

namespace dorvane {
namespace {

using Kind = DatabaseRead::Kind;

TEST(DatabaseText, FreshFileIsExactlyTheFirstRunBytes) {
    std::string text = format_database(first_run_record(), Numbering::ByIndex);
    EXPECT_EQ(text, samples::fresh_file());
}

TEST(DatabaseText, NumberingByMapnumOrByIndex) {
    State state = first_run_record();
    state.maps[0] = {"e1l1.map", 7};
    state.maps[5].mapnum = -32768;
    state.maps[67].mapnum = 32767;
    state.selected_map = 12;
    std::vector<std::string> by_mapnum =
        samples::lines(format_database(state, Numbering::ByMapnum));
    EXPECT_EQ(by_mapnum[0], "7,\"e1l1.map\"");
    EXPECT_EQ(by_mapnum[5], "-32768,\"\"");
    EXPECT_EQ(by_mapnum[67], "32767,\"\"");
    EXPECT_EQ(by_mapnum[68], "12");
    std::vector<std::string> by_index = samples::lines(format_database(state, Numbering::ByIndex));
    EXPECT_EQ(by_index[0], "0,\"e1l1.map\"");
    EXPECT_EQ(by_index[5], "5,\"\"");
    EXPECT_EQ(by_index[67], "67,\"\"");
    // The renumbering write leaves the numbers in memory alone; the limits read back.
    EXPECT_EQ(state.maps[0].mapnum, 7);
    DatabaseRead read = parse_database(format_database(state, Numbering::ByMapnum));
    EXPECT_EQ(read.kind, Kind::Complete);
    EXPECT_EQ(read.record.maps[5].mapnum, -32768);
    EXPECT_EQ(read.record.maps[67].mapnum, 32767);
}

TEST(DatabaseText, NamesWithCommasBlanksAndNonAsciiBytesRoundTrip) {
    State state = first_run_record();
    const std::vector<std::string> names = {
        "a,b.map",
        " leading and trailing ",
        "tab\there.map",
        "caf\xc3\xa9.map",
        "\xe9t\xe9.map",
        "\xff\x80\x01",
        ",",
        std::string(kMaxNameBytes, 'x'),
    };
    for (std::size_t i = 0; i < names.size(); ++i)
        state.maps[i * 9].mapname = names[i];
    state.selected_map = -5;
    state.tcr = 1000;
    DatabaseRead read = parse_database(format_database(state, Numbering::ByMapnum));
    ASSERT_EQ(read.kind, Kind::Complete) << ::testing::PrintToString(read.problems);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(read.record.maps[i * 9].mapname, names[i]);
    EXPECT_EQ(read.record.selected_map, -5);
    EXPECT_EQ(read.record.tcr, 1000);
}

TEST(DatabaseText, OnlyNamesThatReadBackAreStorable) {
    EXPECT_TRUE(storable_name(""));
    EXPECT_TRUE(storable_name("my map, v2.map"));
    EXPECT_TRUE(storable_name(std::string(kMaxNameBytes, 'a')));
    EXPECT_FALSE(storable_name(std::string(kMaxNameBytes + 1, 'a')));
    EXPECT_FALSE(storable_name("say \"hi\".map"));
    EXPECT_FALSE(storable_name("two\nlines"));
    EXPECT_FALSE(storable_name("cr\r"));
    EXPECT_FALSE(storable_name(std::string("nul\0.map", 8)));
}

TEST(DatabaseReader, FieldsRunAcrossLineBreaks) {
    // One value per line, a blank line for the empty selection: the same record.
    std::string text;
    for (int i = 0; i < kSlots; ++i)
        text += std::to_string(i) + "\r\n\"m" + std::to_string(i) + "\"\r\n";
    text += "\r\n";
    for (int i = 0; i < 27; ++i)
        text += "9\n";
    DatabaseRead read = parse_database(text);
    ASSERT_EQ(read.kind, Kind::Complete) << ::testing::PrintToString(read.problems);
    EXPECT_EQ(read.record.maps[67].mapname, "m67");
    EXPECT_EQ(read.record.maps[67].mapnum, 67);
    EXPECT_FALSE(read.record.selected_map);
    EXPECT_EQ(read.record.tcb, 9);
}

TEST(DatabaseReader, LfOnlyFilesReadLikeCrLfFiles) {
    std::string crlf = samples::full_catalogue();
    std::string lf;
    for (char c : crlf) {
        if (c != '\r')
            lf += c;
    }
    DatabaseRead a = parse_database(crlf), b = parse_database(lf);
    ASSERT_EQ(a.kind, Kind::Complete);
    ASSERT_EQ(b.kind, Kind::Complete);
    EXPECT_EQ(format_database(a.record, Numbering::ByMapnum),
              format_database(b.record, Numbering::ByMapnum));
}

TEST(DatabaseReader, EmptyFieldsAndLooseSpelling) {
    std::vector<std::string> lines = samples::lines(samples::fresh_file());
    lines[0] = ",\"a\"";           // empty slot number: 0
    lines[1] = " +12 , \"b\" ";    // blanks around values, a plus sign
    lines[2] = "3,unquoted name";  // an unquoted text is taken as it stands
    lines[3] = "\"4\",\"\"";       // a quoted number
    lines[69] = ",255,255,0";      // empty colour component: 0
    lines.push_back("");           // blank lines at the end are harmless
    DatabaseRead read = parse_database(samples::join(lines));
    ASSERT_EQ(read.kind, Kind::Complete) << ::testing::PrintToString(read.problems);
    EXPECT_EQ(read.record.maps[0].mapnum, 0);
    EXPECT_EQ(read.record.maps[0].mapname, "a");
    EXPECT_EQ(read.record.maps[1].mapnum, 12);
    EXPECT_EQ(read.record.maps[1].mapname, "b");
    EXPECT_EQ(read.record.maps[2].mapname, "unquoted name");
    EXPECT_EQ(read.record.maps[3].mapnum, 4);
    EXPECT_EQ(read.record.BCTTcR, 0);
    EXPECT_FALSE(read.record.selected_map);
}

TEST(DatabaseReader, KindsOfFile) {
    EXPECT_EQ(parse_database("").kind, Kind::Empty);
    EXPECT_EQ(parse_database(samples::fresh_file()).kind, Kind::Complete);
    std::vector<std::string> lines = samples::lines(samples::full_catalogue());
    lines.resize(69);
    DatabaseRead upgrade = parse_database(samples::join(lines));
    EXPECT_EQ(upgrade.kind, Kind::Upgrade);
    EXPECT_TRUE(upgrade.problems.empty());
    EXPECT_EQ(upgrade.record.maps[3].mapname, "map 3, the third.map");
    EXPECT_EQ(upgrade.record.selected_map, 12);
    EXPECT_EQ(upgrade.record.FCTTcR, 255);  // the default colours
    lines.resize(68);
    EXPECT_EQ(parse_database(samples::join(lines)).kind, Kind::Damaged);
    EXPECT_EQ(parse_database("\r\n").kind, Kind::Damaged);
}

// A damaged file gives every value that can be read and first-run values for the rest.
TEST(DatabaseReader, DamageIsConfinedToTheValuesItTouches) {
    std::vector<std::string> lines = samples::lines(samples::full_catalogue());
    lines[4] = "4,\"map 4.map\",extra";  // one value too many
    lines[6] = "40000,\"map 6.map\"";    // not a 16-bit number: not wrapped
    lines[8] = "8";                      // a name missing
    lines[10] = "x10,\"map 10.map\"";
    lines[12] = "12,\"unclosed";
    lines[14] = "14,\"a\"b";
    lines[16] = std::string("16,\"nul\0.map\"", 13);
    lines[72] = "13,red,15";
    DatabaseRead read = parse_database(samples::join(lines));
    ASSERT_EQ(read.kind, Kind::Damaged);
    const auto& maps = read.record.maps;
    EXPECT_EQ(maps[4].mapname, "map 4.map");
    EXPECT_EQ(maps[5].mapname, "map 5.map");  // nothing shifted after the extra value
    EXPECT_EQ(maps[6].mapnum, 6);
    EXPECT_EQ(maps[6].mapname, "map 6.map");
    EXPECT_EQ(maps[8].mapnum, 8);
    EXPECT_EQ(maps[8].mapname, "");
    EXPECT_EQ(maps[10].mapnum, 10);
    EXPECT_EQ(maps[12].mapname, "");
    EXPECT_EQ(maps[14].mapname, "");
    EXPECT_EQ(maps[16].mapname, "");
    EXPECT_EQ(maps[16].mapnum, 16);
    EXPECT_EQ(maps[17].mapname, "map 17.map");
    EXPECT_EQ(maps[67].mapname, "map 67.map");
    EXPECT_EQ(read.record.selected_map, 12);
    EXPECT_EQ(read.record.dcr, 13);
    EXPECT_EQ(read.record.dcg, 255);  // first-run value
    EXPECT_EQ(read.record.dcb, 15);
    EXPECT_EQ(read.problems.size(), 8u);
    EXPECT_EQ(read.problems[0], "line 5 holds too many values");
    EXPECT_EQ(read.problems[1],
              "line 7: the slot number \"40000\" is not a whole number from -32768 to 32767");
}

TEST(DatabaseReader, TrailingContentAfterTheColoursIsDamage) {
    DatabaseRead read = parse_database(samples::full_catalogue() + "notes of mine\r\n");
    EXPECT_EQ(read.kind, Kind::Damaged);
    EXPECT_EQ(read.record.maps[3].mapname, "map 3, the third.map");
    EXPECT_EQ(read.record.tcb, 27);
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0], "line 78: there is more after the colours");
}

TEST(DatabaseReader, TruncatedFilesKeepWhatTheyHold) {
    std::string full = samples::full_catalogue();
    for (std::size_t cut : {full.size() / 3, full.size() - 20}) {
        DatabaseRead read = parse_database(full.substr(0, cut));
        EXPECT_EQ(read.kind, Kind::Damaged);
        EXPECT_EQ(read.record.maps[0].mapname, "map 0.map");
        EXPECT_NE(read.problems.back().find("before all values were read"), std::string::npos);
    }
    DatabaseRead short_one = parse_database(full.substr(0, full.size() / 3));
    EXPECT_EQ(short_one.record.maps[67].mapname, "");
    EXPECT_EQ(short_one.record.maps[67].mapnum, 67);
    EXPECT_EQ(short_one.record.tcr, 255);
}

}  // namespace
}  // namespace dorvane
