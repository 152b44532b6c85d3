// SPDX-License-Identifier: MIT
// A main window after start-up in a fresh temp folder, with helpers to fill slots and to read
// back the database file, for the tests of the catalogue editing commands.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "catalogue/database.h"
#include "mainwindow/addmaps.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane::testing {

struct Editing : ::testing::Test {
    TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    void SetUp() override {
        main.Form_Load();
        // Numbers that differ from the slot indices show which numbering a write used and
        // that numbers stay with positions.
        for (int i = 0; i < kSlots; ++i)
            main.state.maps[i].mapnum = static_cast<std::int16_t>(100 + i);
        services.messages.clear();
        services.writes = 0;
    }

    // Puts names into slots the way the load does: caption and table alike.
    void fill(const std::vector<std::pair<int, std::string>>& names) {
        for (const auto& [slot, name] : names) {
            main.Option1[slot].caption = name;
            main.state.maps[slot].mapname = name;
        }
    }

    std::vector<std::string> captions() const {
        std::vector<std::string> out;
        for (const Control& slot : main.Option1)
            out.push_back(slot.caption);
        return out;
    }

    // Fails the test where a slot's caption and its table entry differ.
    void expect_table_mirrors_captions() const {
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(main.state.maps[i].mapname, main.Option1[i].caption) << "slot " << i;
    }

    // Slot k is the chosen one, and `map` and `selected_map` both name it.
    void expect_current(int k) const {
        EXPECT_EQ(main.state.map, k);
        EXPECT_EQ(main.state.selected_map, k);
        EXPECT_TRUE(main.Option1[k].value);
    }

    // Every slot keeps the number SetUp gave it: numbers stay with positions.
    void expect_numbers_kept() const {
        for (int i = 0; i < kSlots; ++i)
            EXPECT_EQ(main.state.maps[i].mapnum, 100 + i) << "slot " << i;
    }

    // The file holds exactly what the state gives, with the selection it had when written.
    void expect_file(Numbering numbering, SlotIndex selection) const {
        State written = main.state;
        written.selected_map = selection;
        EXPECT_EQ(folder.read(kDatabaseFile), format_database(written, numbering));
    }

    std::vector<std::string> file_lines() const {
        std::string bytes = folder.read(kDatabaseFile);
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(bytes.substr(start, end - start));
        return lines;
    }

    // The line of one slot as the file holds it.
    static std::string slot_line(int number, const std::string& name) {
        return std::to_string(number) + ",\"" + name + "\"";
    }
};

}  // namespace dorvane::testing
