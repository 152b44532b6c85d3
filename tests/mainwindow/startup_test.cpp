// SPDX-License-Identifier: MIT
// Start-up and shutdown of the main window: which slot the load chooses, and that every way
// of ending writes the database exactly once and ends the program.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct StartUp : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};

    // A complete file whose selection line is `selection`.
    void store_selection(const std::string& selection) {
        State s;
        set_default_colours(s);
        s.maps[12].mapname = "e1l8.map";
        std::string text = format_database(s, Numbering::ByIndex);
        std::string::size_type line = 0;
        for (int i = 0; i < kSlots; ++i)
            line = text.find("\r\n", line) + 2;
        text.replace(line, text.find("\r\n", line) - line, selection);
        folder.write(kDatabaseFile, text);
    }

    int chosen(const Dorvane& main) {
        int found = -1, count = 0;
        for (int k = 0; k < kSlots; ++k) {
            if (main.Option1[k].value)
                found = k, ++count;
        }
        return count == 1 ? found : -100 - count;
    }
};

TEST_F(StartUp, AStoredSelectionIsChosenThroughTheSelectionHandler) {
    store_selection("12");
    Dorvane main(services);
    main.Form_Load();
    EXPECT_EQ(chosen(main), 12);
    EXPECT_EQ(main.state.map, 12);
    EXPECT_EQ(main.state.selected_map, 12);
    EXPECT_EQ(main.Option1[12].caption, "e1l8.map");
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(StartUp, AnEmptyOrOutOfRangeSelectionChoosesSlotZero) {
    for (const char* selection : {"", "68", "-1", "400"}) {
        store_selection(selection);
        Dorvane main(services);
        main.Form_Load();
        EXPECT_EQ(chosen(main), 0) << "selection line '" << selection << "'";
        EXPECT_EQ(main.state.map, 0);
        EXPECT_EQ(main.state.selected_map, 0);
    }
}

TEST_F(StartUp, AFirstRunShowsItsMessageBeforeChoosingSlotZero) {
    Dorvane main(services);
    main.Form_Load();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(chosen(main), 0);
    main.Quit_Click();
    EXPECT_NE(folder.read(kDatabaseFile).find("\r\n0\r\n"), std::string::npos);
}

TEST_F(StartUp, EveryWayOfEndingWritesOnceAndEnds) {
    store_selection("3");
    using End = void (*)(Dorvane&);
    const End ends[] = {
        [](Dorvane& m) { m.Quit_Click(); },
        [](Dorvane& m) { m.Exit_Click(); },
        [](Dorvane& m) {  // the window frame's close control
            auto& user = static_cast<HeadlessServices&>(m.services.windows);
            user.route([&m] { m.visible = true; });
            user.close_frame(m);
        },
        [](Dorvane& m) { press(m.Quit); },
        [](Dorvane& m) { m.menu.at(0).items.at(0).click(); },  // File, Exit (Ctrl+Q)
    };
    for (End end : ends) {
        HeadlessServices fresh{folder.str()};
        Dorvane main(fresh);
        main.Form_Load();
        main.choose_slot(7);
        int writes = fresh.writes;
        end(main);
        EXPECT_EQ(fresh.writes, writes + 1);
        EXPECT_EQ(fresh.ended, 1);
        EXPECT_NE(folder.read(kDatabaseFile).find("\r\n7\r\n"), std::string::npos);
        store_selection("3");
    }
}

}  // namespace
}  // namespace dorvane
