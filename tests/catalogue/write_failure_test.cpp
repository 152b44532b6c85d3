// SPDX-License-Identifier: MIT
// Real write failures are reported with the system's reason and leave the old file intact, and
// a writer killed at any moment leaves the old or the new file, never a mix. The tests run as
// root, for whom permission bits stop nothing, so the failures come from mounts and limits.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "catalogue/database.h"
#include "platform/headless/headless.h"
#include "platform/posix/files.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

using samples::kFresh;
using samples::kFull;
namespace fs = std::filesystem;

void expect_failure(const std::string& dir, const std::string& reason) {
    HeadlessServices services(dir);
    State state = parse_database(kFull).record;
    state.maps[0].mapname = "changed.map";
    EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].prompt.find("Qimdat.dat: " + reason), std::string::npos)
        << services.messages[0].prompt;
}

// A folder that is a file, then a small file system of its own, full, then read-only.
TEST(WriteFailure, IsReportedWithTheSystemsReasonAndLeavesTheOldFile) {
    testing::TempFolder folder;
    folder.write("not-a-folder", "");
    expect_failure(folder.str() + "/not-a-folder", "Not a directory");
    const std::string dir = folder.str() + "/mnt";
    fs::create_directory(dir);
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    folder.write("mnt/Qimdat.dat", kFull);
    std::ofstream filler(dir + "/filler", std::ios::binary);
    for (int i = 0; i < 64 && filler.write(std::string(4096, 'f').data(), 4096); ++i)
        filler.flush();
    filler.close();
    expect_failure(dir, "No space left on device");
    EXPECT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    expect_failure(dir, "Read-only file system");
    EXPECT_EQ(folder.read("mnt/Qimdat.dat"), kFull);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);  // no temporary file left
    ::umount2(dir.c_str(), MNT_DETACH);
}

TEST(DatabaseCrash, AKilledWriterLeavesTheOldOrTheNewFile) {
    testing::TempFolder folder;
    folder.write(kDatabaseFile, kFull);
    ::chmod((folder.path() / kDatabaseFile).c_str(), 0640);
    auto entries = [&] { return std::distance(fs::directory_iterator(folder.path()), {}); };
    std::mt19937 random(2026);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    int kills = 0, interrupted = 0, changes = 0;
    std::string last = kFull;
    for (; kills < 400 && std::chrono::steady_clock::now() < deadline; ++kills) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PosixFiles files(folder.str());
            for (unsigned i = 0;; ++i)
                files.replace_file(kDatabaseFile, i % 2 ? kFull : kFresh);
        }
        ::usleep(static_cast<useconds_t>(random() % 3000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string now = folder.read(kDatabaseFile);
        ASSERT_TRUE(now == kFull || now == kFresh) << "after kill " << kills << ": " << now.size();
        changes += now != last;
        last = now;
        // Each writer removes what a killed one left, so at most the last one's file remains.
        ASSERT_LE(entries(), 2);
        interrupted += entries() == 2;
    }
    EXPECT_GE(kills, 100);
    EXPECT_GT(changes, 0) << "no write ever completed";
    EXPECT_GT(interrupted, 0) << "no kill ever landed in the middle of a write";
    ASSERT_TRUE(PosixFiles(folder.str()).replace_file(kDatabaseFile, kFull).ok);
    EXPECT_EQ(entries(), 1);
    EXPECT_EQ(fs::status(folder.path() / kDatabaseFile).permissions(), fs::perms(0640));
}

}  // namespace
}  // namespace dorvane
