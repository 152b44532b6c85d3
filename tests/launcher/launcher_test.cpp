// SPDX-License-Identifier: MIT
// The launcher's commands through the main window, on the headless backend (whose launches run
// through the real launch engine on its scripted driver).
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

constexpr const char* kFailure = "Make sure you have Dorvane in your Duke3d directory";
using Program = HeadlessServices::Program;
using Lines = std::vector<std::string>;

MenuItem& menu_item(Dorvane& main, const std::string& name) {
    for (MenuEntry& entry : main.menu) {
        for (MenuItem& item : entry.items) {
            if (item.name == name)
                return item;
        }
    }
    throw std::runtime_error("no menu item " + name);
}

// The log without its clock stamps, and a line's stamp.
Lines steps(const HeadlessServices& services) {
    Lines out;
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

    Launcher() { services.file_list = Lines{}; }
    void put(int slot, const std::string& name) {
        main.state.maps[slot].mapname = name;
        main.Option1[slot].caption = name;
    }
    std::vector<std::string> prompts() const {
        std::vector<std::string> out;
        for (const ShownMessage& m : services.messages)
            out.push_back(m.title + ": " + m.prompt);
        return out;
    }
};

// Every command, from its button and its menu entry: the six command lines, and only the
// editor gets its "Y" (without a map at once, with a map after its two seconds) and the offer.
TEST_F(Launcher, EachCommandStartsItsOwnCommandLine) {
    put(5, "my map.map");
    main.choose_slot(5);
    services.answers = {Answer::No, Answer::No};
    for (Control* button : {&main.Duke3d, &main.Setup, &main.Build})
        press(*button);
    for (const char* entry : {"RID", "RIS", "RIB", "RD", "RS", "RB"})
        menu_item(main, entry).click();
    EXPECT_EQ(services.started, (Lines{"duke3d.exe -map my map.map", "setup.exe -map my map.map",
                                       "Build.exe my map.map", "duke3d.exe -map my map.map",
                                       "setup.exe -map my map.map", "Build.exe my map.map",
                                       "duke3d.exe", "setup.exe", "build.exe"}));
    const Lines s = steps(services);
    ASSERT_EQ(s.size(), 12u);
    EXPECT_EQ(s[3], "keys Y");
    EXPECT_EQ(s[7], "keys Y");
    EXPECT_EQ(s[11], "keys Y");
    EXPECT_EQ(stamp_of(services.log[11]), stamp_of(services.log[10]));  // at once
    EXPECT_EQ(prompts(),
              (Lines{"Helpful Shortcut :): Would you like to run my map.map in Duke3d?",
                     "Helpful Shortcut :): Would you like to run my map.map in Duke3d?"}));
}

TEST_F(Launcher, SlotsDecideWhatStartsAndAFreeSlotAsks) {
    put(0, "e2l3.map");
    main.Setup_Click();  // no selection yet: slot 0
    main.choose_slot(3);
    for (auto command : {&Dorvane::Duke3d_Click, &Dorvane::Build_Click, &Dorvane::Setup_Click})
        (main.*command)();
    main.state.map = 68;
    main.Duke3d_Click();
    EXPECT_EQ(services.started, Lines{"setup.exe -map e2l3.map"});
    EXPECT_EQ(prompts(),
              (Lines{"Duh!: Put a map in the slot first.", "Duh!: Put a map in the slot first.",
                     "Duh!: Put a map in the slot first.", std::string("Error!: ") + kFailure}));
}

// The editor's "Y" goes two seconds after its window showed, whether that was at once or only
// after the activation's hold, also across midnight; the "Yes" runs the game with the map.
TEST_F(Launcher, EditorGetsItsKeyTwoSecondsAfterItsWindowShowedThenTheQuestion) {
    put(0, "e1l8.map");
    for (auto [clock, program] :
         {std::pair{4000.25, Program::Window}, std::pair{86399.5, Program::SlowWindow}}) {
        services.clock = clock;
        services.log.clear();
        services.slept = 0;
        services.answers = {Answer::No};
        services.programs = {{"Build.exe", program}};
        main.Build_Click();
        ASSERT_EQ(steps(services), (Lines{"start Build.exe e1l8.map", "keys Y"}));
        double up = stamp_of(services.log[1]) - services.shown_at.rbegin()->second;
        EXPECT_GE(up, 2.0);
        EXPECT_LT(up, program == Program::Window ? 2.05 : 3.6);
        EXPECT_GE(services.slept, 2.0);  // the editor's own wait, in short sleeps
    }
    services.answers = {Answer::Yes};
    main.Build_Click();
    EXPECT_EQ(services.started.back(), "duke3d.exe -map e1l8.map");
    EXPECT_EQ(services.messages.size(), 3u);
}

// Sleeps that overshoot a little, as real ones do, so that the clock is read at every phase of
// its single-precision steps, which late in the day are nearly 8 ms; and a clock that the user
// sets back, or one that stops, must not hold the window.
struct OddClock : HeadlessServices {
    using HeadlessServices::HeadlessServices;
    std::optional<float> stuck_at;
    float step = 0;
    void sleep(double seconds) override { HeadlessServices::sleep(seconds * 1.03); }
    float seconds_since_midnight() override {
        if (!stuck_at)
            return HeadlessServices::seconds_since_midnight();
        float t = *stuck_at;
        *stuck_at += step;
        return t;
    }
};

TEST(LauncherClock, EditorWaitNeverEndsEarlyNorWaitsForAStuckClock) {
    for (int k = 0; k < 42; ++k) {
        testing::TempFolder folder;
        OddClock services{folder.str()};
        services.file_list = Lines{};
        services.answers = {Answer::No};
        services.clock = (k % 2 ? 86390.0 : 70000.0) + k * 0.00097;
        if (k >= 40) {
            services.stuck_at = 50000;
            services.step = k == 40 ? 0.0f : -0.5f;
        }
        Dorvane main{services};
        main.Option1[0].caption = "e1l8.map";
        main.Build_Click();
        EXPECT_EQ(services.messages.size(), 1u) << k;
        EXPECT_GE(services.slept, 2.0) << k;
        EXPECT_LT(services.slept, k >= 40 ? 3.15 : 2.04) << k;
    }
}

// Every failure ends in the one message, once; nothing after it is tried.
TEST_F(Launcher, FailuresReportOnceAndSkipTheRest) {
    put(0, "e1l8.map");
    services.missing_programs = {"Build.exe", "duke3d.exe"};
    main.Build_Click();
    main.Duke3d_Click();
    services.missing_programs.clear();
    services.programs = {{"Build.exe", Program::FailsAtOnce}, {"build.exe", Program::FailsAtOnce}};
    main.Build_Click();
    main.RB_Click();
    services.programs.clear();
    services.fail_keys = true;
    main.Build_Click();
    services.fail_keys = false;
    services.missing_programs = {"duke3d.exe"};
    services.answers = {Answer::Yes};
    main.Build_Click();                      // the game fails on the editor's Yes path
    EXPECT_NEAR(services.slept, 4.0, 0.05);  // only the two editors that started waited
    const std::string error = std::string("Error!: ") + kFailure;
    EXPECT_EQ(prompts(),
              (Lines{error, error, error, error, error,
                     "Helpful Shortcut :): Would you like to run e1l8.map in Duke3d?", error}));
}

// The command returns while the program runs without a window yet; should it then end with an
// error before showing one, the user is told, once, when the event loop gets to it.
TEST_F(Launcher, ProgramFailingAfterTheCommandReturnedIsReportedLater) {
    put(0, "e1l8.map");
    services.programs = {{"duke3d.exe", Program::FailsLater}, {"setup.exe", Program::NoWindow}};
    main.Duke3d_Click();
    EXPECT_TRUE(services.messages.empty());
    services.run_events();
    EXPECT_EQ(prompts(), Lines{std::string("Error!: ") + kFailure});
    main.RS_Click();
    services.run_events();
    EXPECT_EQ(services.messages.size(), 1u);
}

// The catalogue keeps names lower-cased: the map goes out under its name on disk, the first in
// byte order of several; as stored when there is none or the folder cannot be searched.
TEST_F(Launcher, MapReachesTheGameUnderItsRealName) {
    put(0, "e1l8.map");
    for (Lines list : {Lines{"DUKE3D.EXE", "E1L8.MAP", "e1l9.map"}, Lines{"E1L8.MAP", "e1l8.map"},
                       Lines{"e1L8.map", "E1l8.map", "E1L8.MAP"}, Lines{}}) {
        services.file_list = list;
        main.Duke3d_Click();
    }
    services.fail_lists = "Permission denied";
    main.Duke3d_Click();
    services.fail_lists.reset();
    services.file_list.reset();
    folder.write(".E1L8.MAP", "");  // hidden from the picker only
    folder.write(".E1L8.MAPX", "");
    put(0, ".e1l8.map");
    main.Setup_Click();
    EXPECT_EQ(services.started, (Lines{"duke3d.exe -map E1L8.MAP", "duke3d.exe -map e1l8.map",
                                       "duke3d.exe -map E1L8.MAP", "duke3d.exe -map e1l8.map",
                                       "duke3d.exe -map e1l8.map", "setup.exe -map .E1L8.MAP"}));
    EXPECT_TRUE(services.messages.empty());
}

// The commands read the record's `map` and the captions they are given, and no window.
TEST(LauncherAlone, RunsTheCurrentSlotsCaption) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    services.file_list = Lines{};
    Services all = services;
    LaunchServices launching{all.processes, all.files, all.boxes, all.clock};
    State state;
    SlotButtons slots;
    slots[3].caption = "e2l1.map";
    state.maps[3].mapname = "table.map";
    state.map = 3;
    run_in_setup(state, slots, launching);
    EXPECT_EQ(services.started, Lines{"setup.exe -map e2l1.map"});
}

}  // namespace
}  // namespace dorvane
