// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

constexpr const char* kFailure = "Make sure you have Dorvane in your Duke3d directory";

MenuItem& menu_item(Dorvane& main, const std::string& name) {
    for (MenuEntry& entry : main.menu) {
        for (MenuItem& item : entry.items) {
            if (item.name == name)
                return item;
        }
    }
    throw std::runtime_error("no menu item " + name);
}

// The log without its clock stamps.
std::vector<std::string> steps(const HeadlessServices& services) {
    std::vector<std::string> out;
    for (const std::string& line : services.log)
        out.push_back(line.substr(0, line.rfind(" @")));
    return out;
}

double stamp_of(const std::string& line) {
    return std::stod(line.substr(line.rfind(" @") + 2));
}

struct Launcher : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    Launcher() { services.file_list = std::vector<std::string>{}; }

    void put(int slot, const std::string& name) {
        main.state.maps[slot].mapname = name;
        main.Option1[slot].caption = name;
    }
};

TEST_F(Launcher, WithMapCommandsPassTheSlotsMapFromButtonAndMenu) {
    put(5, "e1l8.map");
    main.choose_slot(5);
    struct Case {
        Control* button;
        const char* menu;
        const char* line;
    };
    for (const Case& c : {Case{&main.Duke3d, "RID", "duke3d.exe -map e1l8.map"},
                          Case{&main.Setup, "RIS", "setup.exe -map e1l8.map"},
                          Case{&main.Build, "RIB", "Build.exe e1l8.map"}}) {
        services.answers = {Answer::No, Answer::No};
        services.log.clear();
        press(*c.button);
        menu_item(main, c.menu).click();
        ASSERT_EQ(services.log.size() >= 4, true) << c.line;
        EXPECT_EQ(steps(services)[0], std::string("start ") + c.line);
        EXPECT_EQ(steps(services)[1].rfind("activate ", 0), 0u);
        EXPECT_EQ(services.started.back(), c.line);
    }
    EXPECT_EQ(services.started,
              (std::vector<std::string>{"duke3d.exe -map e1l8.map", "duke3d.exe -map e1l8.map",
                                        "setup.exe -map e1l8.map", "setup.exe -map e1l8.map",
                                        "Build.exe e1l8.map", "Build.exe e1l8.map"}));
    // Only the editor asks; nothing else is shown.
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].title, "Helpful Shortcut :)");
}

TEST_F(Launcher, MapNameWithABlankGoesOutUnquoted) {
    put(0, "my map.map");
    main.choose_slot(0);
    main.Duke3d_Click();
    EXPECT_EQ(services.started, std::vector<std::string>{"duke3d.exe -map my map.map"});
}

TEST_F(Launcher, FreeSlotTellsTheUserAndStartsNothing) {
    put(0, "e1l1.map");
    main.choose_slot(3);
    for (auto command : {&Dorvane::Duke3d_Click, &Dorvane::Build_Click, &Dorvane::Setup_Click,
                         &Dorvane::RID_Click, &Dorvane::RIB_Click, &Dorvane::RIS_Click}) {
        (main.*command)();
    }
    EXPECT_TRUE(services.log.empty());
    ASSERT_EQ(services.messages.size(), 6u);
    for (const ShownMessage& m : services.messages) {
        EXPECT_EQ(m.prompt, "Put a map in the slot first.");
        EXPECT_EQ(m.title, "Duh!");
        EXPECT_EQ(m.buttons, Buttons::Ok);
    }
}

TEST_F(Launcher, EmptySelectionUsesSlotZero) {
    put(0, "e2l3.map");
    ASSERT_FALSE(main.state.map.has_value());
    main.Setup_Click();
    EXPECT_EQ(services.started, std::vector<std::string>{"setup.exe -map e2l3.map"});
}

TEST_F(Launcher, SelectionOutsideTheSlotsIsAFailure) {
    put(0, "e2l3.map");
    main.state.map = 68;
    main.Duke3d_Click();
    EXPECT_TRUE(services.log.empty());
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, kFailure);
    EXPECT_EQ(services.messages[0].title, "Error!");
}

TEST_F(Launcher, WithoutMapCommandsIgnoreTheSlots) {
    main.choose_slot(7);  // free
    menu_item(main, "RD").click();
    menu_item(main, "RS").click();
    menu_item(main, "RB").click();
    EXPECT_EQ(services.started, (std::vector<std::string>{"duke3d.exe", "setup.exe", "build.exe"}));
    EXPECT_TRUE(services.messages.empty());
    // Only the editor gets its key, straight after its activation and before anything else.
    std::vector<std::string> s = steps(services);
    ASSERT_EQ(s.size(), 7u);
    EXPECT_EQ(s[6], "keys Y");
    EXPECT_EQ(stamp_of(services.log[6]), stamp_of(services.log[5]));
    EXPECT_EQ(services.slept, 0);
}

TEST_F(Launcher, EditorGetsItsKeyTwoSecondsAfterActivationThenTheQuestion) {
    put(2, "e1l8.map");
    main.choose_slot(2);
    services.clock = 4000.25;
    services.answers = {Answer::No};
    main.Build_Click();
    std::vector<std::string> s = steps(services);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[2], "keys Y");
    double waited = stamp_of(services.log[2]) - stamp_of(services.log[1]);
    EXPECT_GE(waited, 2.0);
    EXPECT_LT(waited, 2.05);
    // Polled in short sleeps, not in one block and not by spinning.
    EXPECT_GE(services.slept, 2.0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, "Would you like to run e1l8.map in Duke3d?");
    EXPECT_EQ(services.messages[0].title, "Helpful Shortcut :)");
    EXPECT_EQ(services.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(services.started, std::vector<std::string>{"Build.exe e1l8.map"});
}

TEST_F(Launcher, EditorYesRunsTheGameWithTheSameMap) {
    put(2, "e1l8.map");
    main.choose_slot(2);
    services.answers = {Answer::Yes};
    main.Build_Click();
    EXPECT_EQ(services.started,
              (std::vector<std::string>{"Build.exe e1l8.map", "duke3d.exe -map e1l8.map"}));
    EXPECT_EQ(steps(services).back().rfind("activate ", 0), 0u);
    EXPECT_EQ(services.messages.size(), 1u);
}

TEST_F(Launcher, EditorWaitEndsAcrossMidnight) {
    put(0, "e1l8.map");
    services.clock = 86399.5;
    services.answers = {Answer::No};
    main.Build_Click();
    EXPECT_GE(services.slept, 2.0);
    EXPECT_LT(services.slept, 2.05);
    EXPECT_EQ(steps(services).back(), "keys Y");
}

// Sleeps that overshoot a little, as real ones do, so that the clock is read at every phase of
// its single-precision steps, which late in the day are nearly 8 ms.
struct OvershootingSleep : HeadlessServices {
    using HeadlessServices::HeadlessServices;
    double activated = -1, typed = -1;  // the true time of each step
    void sleep(double seconds) override { HeadlessServices::sleep(seconds * 1.03); }
    bool activate(TaskId task) override {
        activated = clock;
        return HeadlessServices::activate(task);
    }
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override {
        typed = clock;
        return HeadlessServices::send_keys(keys, shown_for);
    }
};

TEST(LauncherClock, KeyNeverGoesOutEarlyOnTheCoarseClockLateInTheDay) {
    for (int k = 0; k < 40; ++k) {
        double start = (k % 2 ? 86390.0 : 70000.0) + k * 0.00097;
        testing::TempFolder folder;
        OvershootingSleep services{folder.str()};
        services.file_list = std::vector<std::string>{};
        services.answers = {Answer::No};
        services.clock = start;
        Dorvane main{services};
        main.Option1[0].caption = "e1l8.map";
        main.Build_Click();
        double waited = services.typed - services.activated;
        EXPECT_GE(waited, 2.0) << start;
        EXPECT_LT(waited, 2.04) << start;
    }
}

// A clock that the user sets back, or one that stops, must not hold the window.
struct StuckClock : HeadlessServices {
    using HeadlessServices::HeadlessServices;
    float step = 0;
    float now = 50000;
    float seconds_since_midnight() override {
        float t = now;
        now += step;
        return t;
    }
};

TEST(LauncherClock, WaitEndsWhenTheClockStandsStillOrGoesBack) {
    for (float step : {0.0f, -0.5f}) {
        testing::TempFolder folder;
        StuckClock services{folder.str()};
        services.step = step;
        services.file_list = std::vector<std::string>{};
        services.answers = {Answer::No};
        Dorvane main{services};
        main.Option1[0].caption = "e1l8.map";
        main.Build_Click();
        EXPECT_GE(services.slept, 2.0) << step;
        EXPECT_LT(services.slept, 3.05) << step;
        EXPECT_EQ(services.messages.size(), 1u);
    }
}

TEST_F(Launcher, MissingProgramReportsOnceAndSkipsTheRest) {
    put(0, "e1l8.map");
    services.missing_programs = {"Build.exe", "duke3d.exe", "build.exe"};
    main.Build_Click();
    main.Duke3d_Click();
    main.RB_Click();
    main.RD_Click();
    for (const std::string& step : steps(services))
        EXPECT_EQ(step.rfind("start-failed ", 0), 0u) << step;
    ASSERT_EQ(services.messages.size(), 4u);
    for (const ShownMessage& m : services.messages) {
        EXPECT_EQ(m.prompt, kFailure);
        EXPECT_EQ(m.title, "Error!");
        EXPECT_EQ(m.buttons, Buttons::Ok);
    }
    EXPECT_EQ(services.slept, 0);
}

TEST_F(Launcher, FailedActivationLeavesTheProgramRunningAndSkipsKeyAndQuestion) {
    put(0, "e1l8.map");
    services.fail_activate = true;
    main.Build_Click();
    main.RB_Click();
    EXPECT_EQ(services.started, (std::vector<std::string>{"Build.exe e1l8.map", "build.exe"}));
    for (const std::string& step : steps(services))
        EXPECT_EQ(step.find("keys"), std::string::npos);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].prompt, kFailure);
    EXPECT_EQ(services.messages[1].prompt, kFailure);
}

TEST_F(Launcher, FailedKeystrokeSkipsTheQuestion) {
    put(0, "e1l8.map");
    services.fail_keys = true;
    main.Build_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "Error!");
    EXPECT_EQ(services.started.size(), 1u);
}

// The command returns while the program runs without a window yet; should it then end with an
// error before showing one, the user is told, once, when the event loop gets to it.
TEST_F(Launcher, ProgramFailingAfterTheCommandReturnedIsReportedLater) {
    put(0, "e1l8.map");
    using Program = HeadlessServices::Program;
    services.programs = {{"duke3d.exe", Program::FailsLater}, {"setup.exe", Program::NoWindow}};
    main.Duke3d_Click();
    EXPECT_TRUE(services.messages.empty());
    services.run_events();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, kFailure);
    EXPECT_EQ(services.messages[0].title, "Error!");
    services.run_events();
    EXPECT_EQ(services.messages.size(), 1u);
    // A program that keeps running without a window is no failure.
    main.RS_Click();
    services.run_events();
    EXPECT_EQ(services.messages.size(), 1u);
}

// The editor's window shows only after the two-second wait began: the "Y" still goes to it,
// and the editor still has its two seconds from its window's showing.
TEST_F(Launcher, EditorSlowToShowItsWindowStillGetsTheKeyTwoSecondsAfterIt) {
    put(0, "e1l8.map");
    services.programs = {{"Build.exe", HeadlessServices::Program::SlowWindow}};
    services.answers = {Answer::No};
    main.Build_Click();
    ASSERT_EQ(services.keys_received.size(), 1u);
    EXPECT_EQ(services.keys_received.begin()->second, "Y");
    ASSERT_EQ(steps(services).back(), "keys Y");
    EXPECT_GE(
        stamp_of(services.log.back()) - services.shown_at.at(services.keys_received.begin()->first),
        2.0);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "Helpful Shortcut :)");
}

TEST_F(Launcher, GameFailingOnTheEditorsYesPathReportsOnlyItsOwnFailure) {
    put(0, "e1l8.map");
    services.missing_programs = {"duke3d.exe"};
    services.answers = {Answer::Yes};
    main.Build_Click();
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[1].prompt, kFailure);
}

TEST_F(Launcher, MapStoredLowerCaseReachesTheGameUnderItsRealName) {
    put(0, "e1l8.map");
    services.file_list = std::vector<std::string>{"DUKE3D.EXE", "E1L8.MAP", "e1l9.map"};
    main.Duke3d_Click();
    services.file_list = std::vector<std::string>{"E1L8.MAP", "e1l8.map"};
    main.Duke3d_Click();
    // Several in other letter cases: the first in byte order, as for the programs themselves.
    services.file_list = std::vector<std::string>{"e1L8.map", "E1l8.map", "E1L8.MAP"};
    main.Duke3d_Click();
    services.file_list = std::vector<std::string>{};
    main.Duke3d_Click();
    EXPECT_EQ(services.started,
              (std::vector<std::string>{"duke3d.exe -map E1L8.MAP", "duke3d.exe -map e1l8.map",
                                        "duke3d.exe -map E1L8.MAP", "duke3d.exe -map e1l8.map"}));
    EXPECT_TRUE(services.messages.empty());
}

// A folder that cannot be searched for the map's real name does not stop the launch: the name
// goes out as stored, and the program started says what it makes of it.
TEST_F(Launcher, AFolderThatCannotBeSearchedSendsTheNameAsStored) {
    put(0, "e1l8.map");
    services.fail_lists = "Permission denied";
    services.answers = {Answer::No};
    main.Duke3d_Click();
    main.Build_Click();
    EXPECT_EQ(services.started,
              (std::vector<std::string>{"duke3d.exe -map e1l8.map", "Build.exe e1l8.map"}));
    ASSERT_EQ(services.messages.size(), 1u);  // only the editor's own question
    EXPECT_EQ(services.messages[0].title, "Helpful Shortcut :)");
}

// Against the real folder: the map's file and the programs' are found by the same rule.
TEST_F(Launcher, RealNameComesFromTheFolderItself) {
    services.file_list.reset();
    folder.write("E1L8.MAP", "");
    folder.write("e1l8.mapx", "");
    put(0, "e1l8.map");
    main.Setup_Click();
    EXPECT_EQ(services.started, (std::vector<std::string>{"setup.exe -map E1L8.MAP"}));
}

// Hidden files are left out of the picker only: a map catalogued before keeps its real name.
TEST_F(Launcher, AHiddenMapFileStillReachesTheGameUnderItsRealName) {
    services.file_list.reset();
    folder.write(".HID.MAP", "map");
    put(0, ".hid.map");
    main.Duke3d_Click();
    EXPECT_EQ(services.started, std::vector<std::string>{"duke3d.exe -map .HID.MAP"});
}

// The commands read the record's `map` and the captions they are given, and no window.
TEST(LauncherAlone, RunsTheCurrentSlotsCaptionAndAsksForAMapInAFreeSlot) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    services.file_list = std::vector<std::string>{};
    State state;
    SlotButtons slots;
    slots[0].caption = "first.map";
    slots[3].caption = "e2l1.map";
    state.maps[3].mapname = "table.map";  // the caption, not the table, names the map

    run_in_duke3d(state, slots, services);  // no selection yet: slot 0
    state.map = 3;
    run_in_setup(state, slots, services);
    EXPECT_EQ(services.started,
              (std::vector<std::string>{"duke3d.exe -map first.map", "setup.exe -map e2l1.map"}));

    state.map = 4;
    run_in_build(state, slots, services);
    EXPECT_EQ(services.started.size(), 2u);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].title, "Duh!");
}

}  // namespace
}  // namespace dorvane
