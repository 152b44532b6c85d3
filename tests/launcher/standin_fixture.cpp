// SPDX-License-Identifier: MIT
#include "standin_fixture.h"

#include <signal.h>

#include <cstdlib>

namespace dorvane::testing {

namespace fs = std::filesystem;

Display* StandinTest::display_ = nullptr;

void StandinTest::SetUpTestSuite() {
    display_ = XOpenDisplay(nullptr);
}

void StandinTest::TearDownTestSuite() {
    if (display_)
        XCloseDisplay(display_);
    display_ = nullptr;
}

void StandinTest::SetUp() {
    ASSERT_NE(display_, nullptr) << "no X display";
    old_cwd_ = fs::current_path();
    fs::current_path(folder.path());
    log_ = (folder.path() / "standin.log").string();
    setenv("DORVANE_STANDIN_LOG", log_.c_str(), 1);
    setenv("DORVANE_STANDIN_TIMEOUT", "60", 1);
    unsetenv("DORVANE_STANDIN_EXIT");
    unsetenv("DORVANE_STANDIN_NO_WINDOW");
    old_path_ = std::getenv("PATH") ? std::getenv("PATH") : "";
}

void StandinTest::TearDown() {
    for (TaskId pid : started_)
        kill(static_cast<pid_t>(pid), SIGTERM);
    fs::current_path(old_cwd_);
    setenv("PATH", old_path_.c_str(), 1);
}

void StandinTest::install(const std::string& name, const fs::path& dir) {
    fs::create_symlink(DORVANE_STANDIN_PATH, dir / name);
}

std::vector<StandinEvent> StandinTest::events(TaskId pid, const std::string& kind) const {
    return events_of(read_standin_log(log_), static_cast<int>(pid), kind);
}

std::vector<StandinEvent> StandinTest::wait_for(TaskId pid, const std::string& kind) {
    std::vector<StandinEvent> found;
    wait_until([&] {
        found = events(pid, kind);
        return !found.empty();
    });
    return found;
}

std::string StandinTest::start_line(TaskId pid) {
    std::vector<StandinEvent> found = wait_for(pid, "start");
    return found.empty() ? "" : found[0].line;
}

}  // namespace dorvane::testing
