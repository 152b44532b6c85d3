// SPDX-License-Identifier: MIT
// The launcher's commands through the main window, on the headless backend's scripted driver.
#include <gtest/gtest.h>

#include <optional>
#include <utility>

#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using Program = HeadlessServices::Program;
using Lines = std::vector<std::string>;
const std::string kError = "Error!: Make sure you have Dorvane in your Duke3d directory";
const std::string kOffer = "Helpful Shortcut :): Would you like to run e1l8.map in Duke3d?";

double stamp_of(const std::string& line) {
    return std::stod(line.substr(line.rfind(" @") + 2));
}

// The processes' steps and the messages in one log. Sleeps overshoot a little, as real ones do,
// to read the clock at every phase of its single-precision steps; it can stand still or go back.
struct Services : HeadlessServices {
    using HeadlessServices::HeadlessServices;
    std::optional<float> stuck_at;
    float step = 0;
    Answer message_box(const std::string& prompt, const std::string& title,
                       Buttons buttons) override {
        log.push_back(title + ": " + prompt);
        return HeadlessServices::message_box(prompt, title, buttons);
    }
    void sleep(double seconds) override { HeadlessServices::sleep(seconds * 1.03); }
    float seconds_since_midnight() override {
        if (!stuck_at)
            return HeadlessServices::seconds_since_midnight();
        return std::exchange(*stuck_at, *stuck_at + step);
    }
};

struct Launcher : ::testing::Test {
    testing::TempFolder folder;
    Services services{folder.str()};
    Dorvane main{services};

    // Only the caption: the commands run what the window shows, not the record's name.
    void put(int slot, const std::string& name) { main.Option1[slot].caption = name; }
    Lines transcript() const {
        Lines out;
        for (const std::string& line : services.log)
            out.push_back(line.substr(0, line.rfind(" @")));
        return out;
    }
};

// The command lines (the editor's with a map: next test); only the editor gets "Y", at once
// without a map. No selection runs slot 0; a free slot asks for a map; one past the slots fails.
TEST_F(Launcher, EachCommandStartsItsOwnCommandLineFromItsSlot) {
    put(0, "e1l8.map");
    for (auto command : {&Dorvane::RID_Click, &Dorvane::RIS_Click, &Dorvane::RD_Click,
                         &Dorvane::RS_Click, &Dorvane::RB_Click})
        (main.*command)();
    main.choose_slot(3);
    for (auto command : {&Dorvane::Duke3d_Click, &Dorvane::Build_Click, &Dorvane::Setup_Click})
        (main.*command)();
    main.state.map = 68;
    main.Duke3d_Click();
    const std::string free = "Duh!: Put a map in the slot first.";
    EXPECT_EQ(transcript(),
              (Lines{"start duke3d.exe -map e1l8.map", "start setup.exe -map e1l8.map",
                     "start duke3d.exe", "start setup.exe", "start build.exe", "keys Y", free, free,
                     free, kError}));
    EXPECT_EQ(stamp_of(services.log[5]), stamp_of(services.log[4]));  // at once
}

// The "Y" goes two seconds after the editor's window showed (late in the last case, across
// midnight); a stuck clock or one set back holds it no longer than the sleeps' ceiling.
TEST_F(Launcher, EditorGetsItsKeyTwoSecondsAfterItsWindowShowedThenTheQuestion) {
    put(0, "e1l8.map");
    for (int k = 0; k < 44; ++k) {
        const bool slow = k == 43, stuck = k == 40 || k == 41;
        services.log.clear();
        services.slept = 0;
        services.answers = {Answer::No};
        services.clock = k == 42 ? 4000.25
                         : slow  ? 86399.5
                                 : (k % 2 ? 86398.9 : 70000) + k * 0.00097;
        services.programs = {{"Build.exe", slow ? Program::SlowWindow : Program::Window}};
        services.stuck_at = stuck ? std::optional<float>(50000) : std::nullopt;
        services.step = k == 40 ? 0.0f : -0.5f;
        main.Build_Click();
        ASSERT_EQ(transcript(), (Lines{"start Build.exe e1l8.map", "keys Y", kOffer})) << k;
        EXPECT_GE(services.slept, 2.0) << k;  // the editor's own wait, in short sleeps
        EXPECT_LT(services.slept, stuck ? 3.15 : 2.04) << k;
        if (k >= 42) {  // clocks that the log's stamps show finely enough
            double up = stamp_of(services.log[1]) - services.shown_at.rbegin()->second;
            EXPECT_GE(up, 2.0) << k;
            EXPECT_LT(up, slow ? 3.6 : 2.05) << k;
        }
    }
}

// Every failure ends in the one message, once; nothing after it is tried. A program failing
// windowless after the command returned is reported by the event loop.
TEST_F(Launcher, FailuresReportOnceAndSkipTheRest) {
    put(0, "e1l8.map");
    services.programs = {{"Build.exe", Program::FailsAtOnce}, {"build.exe", Program::FailsAtOnce}};
    main.Build_Click();
    main.RB_Click();
    services.programs.clear();
    services.fail_keys = true;
    main.Build_Click();
    services.fail_keys = false;
    services.missing_programs = {"duke3d.exe"};
    services.answers = {Answer::Yes};
    main.Build_Click();                     // the game fails on the editor's Yes path
    EXPECT_NEAR(services.slept, 4.0, 0.1);  // only the two editors that started waited
    services.missing_programs.clear();
    services.programs = {{"duke3d.exe", Program::FailsLater}};
    main.Duke3d_Click();
    EXPECT_EQ(transcript().back(), "start duke3d.exe -map e1l8.map");  // not told yet
    services.run_events();
    EXPECT_EQ(transcript(), (Lines{"start Build.exe e1l8.map", kError, "start build.exe", kError,
                                   "start Build.exe e1l8.map", "keys-failed Y", kError,
                                   "start Build.exe e1l8.map", "keys Y", kOffer,
                                   "start-failed duke3d.exe -map e1l8.map", kError,
                                   "start duke3d.exe -map e1l8.map", kError}));
}

// Names are kept lower-cased: the map goes out under its name on disk, the first in byte order
// of several; as stored when there is none (as in the fixture) or the folder cannot be searched.
TEST_F(Launcher, MapReachesTheGameUnderItsRealName) {
    put(0, "e1l8.map");
    services.fail_lists = "Permission denied";
    main.Duke3d_Click();
    services.fail_lists.reset();
    folder.write(".e1L8.map", "");  // hidden from the picker only
    folder.write(".E1l8.map", "");
    put(0, ".e1l8.map");
    main.Setup_Click();
    EXPECT_EQ(transcript(),
              (Lines{"start duke3d.exe -map e1l8.map", "start setup.exe -map .E1l8.map"}));
}

}  // namespace
}  // namespace dorvane
