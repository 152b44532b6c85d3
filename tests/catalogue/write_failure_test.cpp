// SPDX-License-Identifier: MIT
// Real write failures (a full disk, a read-only file system, a folder that is not one) are
// reported with the system's reason and leave the old file intact. The tests run as root, for
// whom permission bits stop nothing, so the failures come from limits and mounts instead.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "catalogue/database.h"
#include "platform/headless/headless.h"
#include "platform/posix/files.h"
#include "samples.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct WriteFailure : ::testing::Test {
    testing::TempFolder folder;

    // Writes the full catalogue with a changed name; expects the failure to be reported with
    // `reason` and the old file in `dir` to be untouched, with no temporary file left.
    void expect_failure_leaves_old_file(const std::string& dir, const std::string& reason) {
        HeadlessServices services(dir);
        State state = parse_database(samples::full_catalogue()).record;
        state.maps[0].mapname = "changed.map";
        EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
        ASSERT_EQ(services.messages.size(), 1u);
        EXPECT_NE(services.messages[0].prompt.find("Qimdat.dat"), std::string::npos);
        EXPECT_NE(services.messages[0].prompt.find(reason), std::string::npos)
            << services.messages[0].prompt;
        std::ifstream in(dir + "/" + kDatabaseFile, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(bytes, samples::full_catalogue());
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == kDatabaseFile || name == "filler") << name;
        }
    }
};

TEST_F(WriteFailure, AFolderThatIsAFile) {
    folder.write("not-a-folder", "");
    HeadlessServices services(folder.str() + "/not-a-folder");
    State fresh = first_run_record();
    EXPECT_FALSE(write_database(fresh, Numbering::ByIndex, services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].prompt.find("Not a directory"), std::string::npos);
}

// A small file system of its own, where the machine lets the tests mount one.
struct TinyFileSystem : WriteFailure {
    std::string dir;
    void SetUp() override {
        dir = folder.str() + "/mnt";
        std::filesystem::create_directory(dir);
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        std::ofstream(dir + "/" + kDatabaseFile, std::ios::binary) << samples::full_catalogue();
    }
    void TearDown() override {
        if (!IsSkipped())
            ::umount2(dir.c_str(), MNT_DETACH);
    }
};

TEST_F(TinyFileSystem, ReadOnly) {
    ASSERT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
    expect_failure_leaves_old_file(dir, "Read-only file system");
}

void fill(const std::string& dir) {
    std::ofstream filler(dir + "/filler", std::ios::binary);
    std::string block(4096, 'f');
    for (int i = 0; i < 64 && filler.write(block.data(), block.size()); ++i)
        filler.flush();
}

TEST_F(TinyFileSystem, Full) {
    fill(dir);
    expect_failure_leaves_old_file(dir, "No space left on device");
}

// A file with a second hard link is rewritten in place; a full disk stops that before a byte of
// either name changes.
TEST_F(TinyFileSystem, FullWhileRewritingInPlace) {
    const std::string db = dir + "/" + kDatabaseFile;
    ASSERT_EQ(::link(db.c_str(), (dir + "/linked").c_str()), 0);
    fill(dir);
    HeadlessServices services(dir);
    State state = parse_database(samples::full_catalogue()).record;
    for (int i = 0; i < 8; ++i)
        state.maps[i].mapname = std::string(1000, 'x') + ".map";
    EXPECT_FALSE(write_database(state, Numbering::ByMapnum, services));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].prompt.find("No space left on device"), std::string::npos)
        << services.messages[0].prompt;
    EXPECT_NE(services.messages[0].prompt.find("left as it was"), std::string::npos);
    for (const char* name : {kDatabaseFile, "linked"}) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), samples::full_catalogue())
            << name;
    }
}

}  // namespace
}  // namespace dorvane
