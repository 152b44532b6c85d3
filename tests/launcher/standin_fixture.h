// SPDX-License-Identifier: MIT
// A test fixture for running the stand-in program in the X session the test runs in (CTest gives
// it one of its own, tests/e2e/run_in_x.py): per test a fresh folder that is the current folder,
// a stand-in log in it, and an end (by their ids) to every stand-in the test noted.
#pragma once

#include "platform/process_service.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include "standin_log.h"
#include "support/temp_folder.h"

namespace dorvane::testing {

class StandinTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Puts the stand-in into `dir` under `name`.
    void install(const std::string& name, const std::filesystem::path& dir = ".");
    // The stand-in `pid` is ended when the test ends.
    void end_later(TaskId pid) { started_.push_back(pid); }

    // The events of `kind` that stand-in `pid` logged, once there is one (bounded wait).
    std::vector<StandinEvent> wait_for(TaskId pid, const std::string& kind);
    std::vector<StandinEvent> events(TaskId pid, const std::string& kind) const;
    // The line of its start, with its arguments, folder and descriptors.
    std::string start_line(TaskId pid);

    static Display* display() { return display_; }

    TempFolder folder;

  private:
    static Display* display_;
    std::filesystem::path old_cwd_;
    std::string old_path_;
    std::string log_;
    std::vector<TaskId> started_;
};

}  // namespace dorvane::testing
