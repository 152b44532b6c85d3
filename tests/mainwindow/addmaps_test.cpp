// SPDX-License-Identifier: MIT
#include <algorithm>
#include <filesystem>

#include "mainwindow/editing_fixture.h"

namespace dorvane {
namespace {

struct Picker : testing::Editing {
    // Add Map as the user presses it: the picker comes on the screen at the end of the event.
    Addmaps& open_picker() {
        services.route([this] { main.Addmap_Click(); });
        EXPECT_TRUE(main.addmaps);
        return *main.addmaps;
    }
    int pickers_registered() const {
        return static_cast<int>(std::count_if(services.forms.begin(), services.forms.end(),
                                              [](Form* f) { return f->name == "Addmaps"; }));
    }
};

TEST_F(Picker, AddMapShowsTheMapFilesAndASecondPressChangesNothing) {
    services.file_list = std::vector<std::string>{"E1L8.MAP", "castle.map"};
    Addmaps& picker = open_picker();
    EXPECT_TRUE(picker.visible);
    EXPECT_EQ(pickers_registered(), 1);
    EXPECT_EQ(picker.MapFiles.items, *services.file_list);
    EXPECT_EQ(picker.MapFiles.list_index, -1);

    select_item(picker.MapFiles, 1);
    services.file_list = std::vector<std::string>{"new.map"};
    main.Addmap_Click();
    EXPECT_EQ(main.addmaps.get(), &picker);
    EXPECT_EQ(pickers_registered(), 1);
    EXPECT_EQ(picker.MapFiles.items, (std::vector<std::string>{"E1L8.MAP", "castle.map"}));
    EXPECT_EQ(picker.MapFiles.list_index, 1);
    EXPECT_TRUE(services.messages.empty());
}

// The folder's own listing, as the system's file lists show it: no hidden files, nothing but
// map files.
TEST_F(Picker, ListsTheFoldersMapFilesButNoHiddenOnes) {
    for (const char* name : {"b.map", ".hid.map", "E1L8.MAP", ".MAP", "notes.txt"})
        folder.write(name, "map");
    EXPECT_EQ(open_picker().MapFiles.items, (std::vector<std::string>{"E1L8.MAP", "b.map"}));
}

TEST_F(Picker, OkStoresTheLowerCasedNameInTheCurrentSlotAndHides) {
    services.file_list = std::vector<std::string>{"E1L8.MAP"};
    fill({{3, "old.map"}});
    main.choose_slot(3);
    Addmaps& picker = open_picker();
    select_item(picker.MapFiles, 0);
    press(picker.Done);

    EXPECT_EQ(main.Option1[3].caption, "e1l8.map");
    EXPECT_EQ(main.state.maps[3].mapname, "e1l8.map");
    EXPECT_EQ(main.state.maps[3].mapnum, 3);  // was 103
    EXPECT_EQ(main.state.t_mapname, "e1l8.map");
    EXPECT_EQ(main.state.t_mapnum, 3);
    EXPECT_FALSE(picker.visible);
    EXPECT_EQ(pickers_registered(), 1);  // hidden, not destroyed
    EXPECT_EQ(main.state.map, 3);
    expect_table_mirrors_captions();
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.writes, 1);
    expect_file(Numbering::ByMapnum, 3);
    EXPECT_EQ(file_lines().at(3), slot_line(3, "e1l8.map"));
}

TEST_F(Picker, DoubleClickFillsTheSlotChosenAfterThePickerOpened) {
    services.file_list = std::vector<std::string>{"a.map", "b.map"};
    main.choose_slot(2);
    Addmaps& picker = open_picker();
    choose_option(main, main.Option1[5]);  // the main window stays usable
    select_item(picker.MapFiles, 1);
    picker.MapFiles.dbl_click();

    EXPECT_EQ(main.Option1[5].caption, "b.map");
    EXPECT_EQ(main.state.maps[5].mapnum, 5);
    EXPECT_EQ(main.Option1[2].caption, "");
    EXPECT_EQ(main.state.maps[2].mapnum, 102);
    EXPECT_FALSE(picker.visible);
}

TEST_F(Picker, OkWithNothingSelectedEmptiesTheCurrentSlot) {
    services.file_list = std::vector<std::string>{"a.map"};
    fill({{7, "x.map"}});
    main.choose_slot(7);
    Addmaps& picker = open_picker();
    press(picker.Done);
    EXPECT_EQ(main.Option1[7].caption, "");
    EXPECT_EQ(main.state.maps[7].mapname, "");
    EXPECT_EQ(main.state.maps[7].mapnum, 7);
    EXPECT_FALSE(picker.visible);
    EXPECT_EQ(file_lines().at(7), slot_line(7, ""));
}

TEST_F(Picker, OnlyAsciiLettersAreLowerCased) {
    // "ÄRGER" in UTF-8 keeps its multi-byte letter as it is.
    services.file_list = std::vector<std::string>{"\xC3\x84RGER-\xC3\xA9t\xC3\xA9.MaP"};
    main.choose_slot(0);
    Addmaps& picker = open_picker();
    select_item(picker.MapFiles, 0);
    press(picker.Done);
    EXPECT_EQ(main.Option1[0].caption, "\xC3\x84rger-\xC3\xA9t\xC3\xA9.map");
    EXPECT_EQ(catalogue_name("E1L8.MAP"), "e1l8.map");
    EXPECT_EQ(catalogue_name("Z@[a`{"), "z@[a`{");
}

TEST_F(Picker, ShowingItAgainReadsTheFolderAfreshAndKeepsTheSelection) {
    services.file_list = std::vector<std::string>{"b.map", "c.map"};
    main.choose_slot(1);
    Addmaps& picker = open_picker();
    select_item(picker.MapFiles, 1);
    press(picker.Done);

    services.file_list = std::vector<std::string>{"a.map", "b.map", "c.map"};
    open_picker();
    EXPECT_EQ(picker.MapFiles.items, *services.file_list);
    EXPECT_EQ(picker.MapFiles.list_index, 2);  // still c.map

    press(picker.Done);
    services.file_list = std::vector<std::string>{"a.map"};
    open_picker();
    EXPECT_EQ(picker.MapFiles.list_index, -1);  // c.map is gone
}

TEST_F(Picker, ClosingTheFrameDropsItAndTheNextAddMapBuildsAFreshOne) {
    services.file_list = std::vector<std::string>{"a.map"};
    main.choose_slot(4);
    services.route([this] { main.Addmap_Click(); });
    Addmaps& first = *main.addmaps;
    select_item(first.MapFiles, 0);
    services.close_frame(first);
    EXPECT_EQ(pickers_registered(), 0);
    EXPECT_EQ(main.Option1[4].caption, "");
    EXPECT_EQ(services.writes, 0);

    Addmaps& second = open_picker();
    EXPECT_EQ(pickers_registered(), 1);
    EXPECT_TRUE(second.visible);
    EXPECT_EQ(second.MapFiles.list_index, -1);
    EXPECT_EQ(services.forms.back(), &second);
}

// Add Map in the same event as the frame close (the close came in while a message box held the
// event open) shows a fresh picker at once; the closed one goes when that event is over.
TEST_F(Picker, AddMapAfterAFrameCloseInTheSameEventShowsAFreshPicker) {
    services.file_list = std::vector<std::string>{"a.map"};
    Addmaps& first = open_picker();
    select_item(first.MapFiles, 0);
    services.route([&] {
        services.close_frame(first);
        Addmaps& second = open_picker();
        EXPECT_NE(&second, &first);
        EXPECT_TRUE(second.visible);
        EXPECT_EQ(second.MapFiles.list_index, -1);
    });
    EXPECT_EQ(pickers_registered(), 1);
    ASSERT_TRUE(main.addmaps);
    EXPECT_TRUE(main.addmaps->visible);
    EXPECT_EQ(services.forms.back(), main.addmaps.get());
}

TEST_F(Picker, ANameTheFileCannotHoldIsRefusedAndChangesNothing) {
    services.file_list = std::vector<std::string>{"a\"b.map", "line\nbreak.map", "ok.map"};
    fill({{6, "kept.map"}});
    main.choose_slot(6);
    Addmaps& picker = open_picker();
    for (int index : {0, 1}) {
        select_item(picker.MapFiles, index);
        picker.MapFiles.dbl_click();
        ASSERT_EQ(services.messages.size(), static_cast<std::size_t>(index + 1));
        EXPECT_NE(services.messages.back().prompt.find(picker.MapFiles.items[index]),
                  std::string::npos);
        EXPECT_EQ(services.messages.back().buttons, Buttons::Ok);
        EXPECT_EQ(main.Option1[6].caption, "kept.map");
        EXPECT_EQ(main.state.maps[6].mapnum, 106);
        EXPECT_EQ(main.state.t_mapname, "");
        EXPECT_TRUE(picker.visible);  // another file can be chosen
    }
    EXPECT_EQ(services.writes, 0);
    select_item(picker.MapFiles, 2);
    press(picker.Done);
    EXPECT_EQ(main.Option1[6].caption, "ok.map");
}

// The picker asks its maker to show and save the name, and fills the hand-over values first.
TEST(PickerAlone, HandsTheNameAndTheCurrentSlotToItsCallback) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    services.file_list = std::vector<std::string>{"Castle.MAP", "dock.map"};
    State state;
    state.map = 9;
    std::vector<std::pair<int, std::string>> put;
    Addmaps picker{state, services, services, services, [&](int slot, const std::string& name) {
                       EXPECT_EQ(state.t_mapnum, slot);
                       EXPECT_EQ(state.t_mapname, name);
                       put.emplace_back(slot, name);
                   }};
    picker.refresh_list();
    picker.visible = true;
    select_item(picker.MapFiles, 0);
    picker.MapFiles.dbl_click();
    EXPECT_EQ(put, (std::vector<std::pair<int, std::string>>{{9, "castle.map"}}));
    EXPECT_FALSE(picker.visible);

    state.map = std::nullopt;  // no selection yet counts as slot 0
    picker.visible = true;
    press(picker.Done);
    ASSERT_EQ(put.size(), 2u);
    EXPECT_EQ(put[1], (std::pair<int, std::string>{0, "castle.map"}));
    EXPECT_EQ(services.writes, 0) << "saving is the maker's part";
}

// A folder that cannot be read is not shown as a folder without maps: the user is told why, and
// the picker opens all the same, usable, and lists the maps once the folder can be read again.
TEST_F(Picker, AFolderThatCannotBeListedIsReportedAndThePickerStaysUsable) {
    fill({{4, "kept.map"}});
    main.choose_slot(4);
    services.fail_lists = "Permission denied";
    Addmaps& picker = open_picker();
    ASSERT_EQ(services.messages.size(), 1u);
    const ShownMessage& shown = services.messages[0];
    EXPECT_EQ(shown.title, "Add Map");
    EXPECT_EQ(shown.buttons, Buttons::Ok);
    EXPECT_NE(shown.prompt.find("could not list the map files"), std::string::npos) << shown.prompt;
    EXPECT_NE(shown.prompt.find("(Permission denied)"), std::string::npos) << shown.prompt;
    EXPECT_TRUE(picker.visible);
    EXPECT_TRUE(picker.MapFiles.items.empty());
    EXPECT_EQ(main.Option1[4].caption, "kept.map");
    EXPECT_EQ(services.writes, 0);

    // A second press while it is open neither reads again nor tells again.
    main.Addmap_Click();
    EXPECT_EQ(services.messages.size(), 1u);

    // Closed and opened again once the folder can be read: the maps are there, no message.
    services.fail_lists.reset();
    services.file_list = std::vector<std::string>{"E1L8.MAP"};
    services.close_frame(picker);
    Addmaps& again = open_picker();
    EXPECT_EQ(again.MapFiles.items, std::vector<std::string>{"E1L8.MAP"});
    EXPECT_EQ(services.messages.size(), 1u);
    select_item(again.MapFiles, 0);
    press(again.Done);
    EXPECT_EQ(main.state.maps[4].mapname, "e1l8.map");
    EXPECT_EQ(services.writes, 1);
}

// The same on real files: the game's folder removed while the program runs.
TEST(PickerOnDisk, AFolderRemovedUnderTheProgramIsReported) {
    testing::TempFolder folder;
    std::filesystem::create_directory(folder.path() / "game");
    folder.write("game/e1l8.map", "map");
    HeadlessServices services((folder.path() / "game").string());
    Dorvane main{services};
    main.Form_Load();
    services.messages.clear();
    main.Addmap_Click();
    ASSERT_TRUE(main.addmaps);
    EXPECT_EQ(main.addmaps->MapFiles.items, std::vector<std::string>{"e1l8.map"});
    EXPECT_TRUE(services.messages.empty());

    main.addmaps->visible = false;
    std::filesystem::remove_all(folder.path() / "game");
    main.Addmap_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    // The reason is the system's own, in its words.
    const std::string reason = NativeFiles((folder.path() / "game").string()).list_files("*").error;
    ASSERT_FALSE(reason.empty());
    EXPECT_NE(services.messages[0].prompt.find("(" + reason + ")"), std::string::npos)
        << services.messages[0].prompt;
    EXPECT_TRUE(main.addmaps->visible);
    EXPECT_TRUE(main.addmaps->MapFiles.items.empty());
    EXPECT_EQ(main.addmaps->MapFiles.list_index, -1);
}

}  // namespace
}  // namespace dorvane
