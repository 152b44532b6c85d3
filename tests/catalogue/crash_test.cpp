// SPDX-License-Identifier: MIT
// A writer killed at any moment leaves Qimdat.dat whole: the old or the new content, never a
// mix, and no pile of temporary files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "catalogue/database.h"
#include "platform/posix/files.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

int temp_files(const testing::TempFolder& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        count += entry.path().filename() != kDatabaseFile;
    return count;
}

TEST(DatabaseCrash, AKilledWriterLeavesTheOldOrTheNewFile) {
    testing::TempFolder folder;
    const std::string old_text = samples::full_catalogue();
    const std::string new_text = samples::fresh_file();
    folder.write(kDatabaseFile, old_text);
    ::chmod((folder.path() / kDatabaseFile).c_str(), 0640);

    std::mt19937 random(2026);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    int kills = 0, interrupted = 0, changes = 0, most_temps = 0;
    std::string last = old_text;
    while (kills < 400 && std::chrono::steady_clock::now() < deadline) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PosixFiles files(folder.str());
            for (unsigned i = 0;; ++i)
                files.replace_file(kDatabaseFile, i % 2 ? old_text : new_text);
        }
        ::usleep(static_cast<useconds_t>(random() % 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ++kills;

        std::string now = folder.read(kDatabaseFile);
        ASSERT_TRUE(now == old_text || now == new_text)
            << "after kill " << kills << " the file holds " << now.size() << " bytes";
        changes += now != last;
        last = now;
        int temps = temp_files(folder);
        interrupted += temps > 0;
        most_temps = std::max(most_temps, temps);
    }
    EXPECT_GE(kills, 100);
    EXPECT_GT(changes, 0) << "no write ever completed";
    EXPECT_GT(interrupted, 0) << "no kill ever landed in the middle of a write";
    // Each writer removes what a killed one left, so at most the last one's file remains ...
    EXPECT_LE(most_temps, 1);
    // ... until the next write.
    ASSERT_TRUE(PosixFiles(folder.str()).replace_file(kDatabaseFile, old_text).ok);
    EXPECT_EQ(temp_files(folder), 0);
    EXPECT_EQ(std::filesystem::status(folder.path() / kDatabaseFile).permissions(),
              std::filesystem::perms(0640));
    RecordProperty("kills", kills);
    RecordProperty("interrupted", interrupted);
}

}  // namespace
}  // namespace dorvane
