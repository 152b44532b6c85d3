// The launcher commands of the main window against the stand-in programs in a private X server:
// the whole path from the command to the program, without the window toolkit.
#include "real_processes.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "mainwindow/dorvane.h"
#include "standin_fixture.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;
using testing::json_array;
using testing::StandinEvent;

class LauncherOnX11 : public testing::StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        for (const char* exe : {"duke3d.exe", "build.exe", "setup.exe"})
            install(exe);
        services = std::make_unique<testing::RealProcessServices>(folder.str(), display());
        services->file_list = std::vector<std::string>{};
        main = std::make_unique<Dorvane>(*services);
        main->Option1[4].caption = main->state.maps[4].mapname = "e1l8.map";
        main->choose_slot(4);
    }

    void TearDown() override {
        for (TaskId task : services->tasks)
            end_later(task);
        main.reset();
        StandinTest::TearDown();
    }

    std::unique_ptr<testing::RealProcessServices> services;
    std::unique_ptr<Dorvane> main;
};

TEST_F(LauncherOnX11, EditorGetsItsKeyTwoSecondsAfterActivationAndYesRunsTheGame) {
    services->answers = {Answer::Yes};
    const double clicked = testing::monotonic_now();
    main->Build_Click();
    ASSERT_EQ(services->tasks.size(), 2u) << ::testing::PrintToString(services->log);
    TaskId editor = services->tasks[0], game = services->tasks[1];
    EXPECT_NE(wait_for(editor, "start")[0].line.find(json_array({"Build.exe", "e1l8.map"})),
              std::string::npos);
    std::vector<StandinEvent> keys = wait_for(editor, "key");
    std::vector<StandinEvent> focus = wait_for(editor, "focus");
    ASSERT_FALSE(keys.empty());
    ASSERT_FALSE(focus.empty());
    EXPECT_NE(keys.back().line.find("\"key\":\"Y\""), std::string::npos);
    ASSERT_EQ(services->activations.size(), 2u);
    EXPECT_GE(keys.back().t - services->activations[0], 2.0);
    EXPECT_LE(focus[0].t, keys.back().t);
    EXPECT_LT(keys.back().t - clicked, 6.0);
    ASSERT_EQ(services->messages.size(), 1u);
    EXPECT_EQ(services->messages[0].prompt, "Would you like to run e1l8.map in Duke3d?");

    EXPECT_NE(wait_for(game, "start")[0].line.find(json_array({"duke3d.exe", "-map", "e1l8.map"})),
              std::string::npos);
    EXPECT_FALSE(wait_for(game, "maximised").empty());
    EXPECT_FALSE(wait_for(game, "focus").empty());
    EXPECT_TRUE(events(game, "key").empty());
}

TEST_F(LauncherOnX11, EditorWithoutMapGetsItsKeyAtOnce) {
    main->RB_Click();
    ASSERT_EQ(services->tasks.size(), 1u);
    EXPECT_TRUE(services->messages.empty());
    std::vector<StandinEvent> keys = wait_for(services->tasks[0], "key");
    ASSERT_FALSE(keys.empty());
    EXPECT_NE(keys.back().line.find("\"key\":\"Y\""), std::string::npos);
    ASSERT_EQ(services->activations.size(), 1u);
    EXPECT_LT(keys.back().t - services->activations[0], 0.5);
    EXPECT_EQ(services->slept, 0);
}

TEST_F(LauncherOnX11, QuestionAnsweredNoStartsNothingMore) {
    services->answers = {Answer::No};
    main->Build_Click();
    EXPECT_EQ(services->started, std::vector<std::string>{"Build.exe e1l8.map"});
    EXPECT_EQ(services->messages.size(), 1u);
}

TEST_F(LauncherOnX11, MissingProgramGivesTheErrorMessageAndNothingFollows) {
    fs::remove("build.exe");
    main->Build_Click();
    main->RB_Click();
    EXPECT_TRUE(services->tasks.empty());
    ASSERT_EQ(services->messages.size(), 2u);
    for (const ShownMessage& m : services->messages) {
        EXPECT_EQ(m.prompt, "Make sure you have Dorvane in your Duke3d directory");
        EXPECT_EQ(m.title, "Error!");
    }
    EXPECT_EQ(services->slept, 0);
}

}  // namespace
}  // namespace dorvane
