// SPDX-License-Identifier: MIT
// Real names on disk of files asked for in another letter case, on a real folder.
#include "platform/posix/real_name.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/files.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;

// The lookup's answer in one word: the name found, "(none)" or "(failed)".
std::string on_disk(const NameOnDisk& result) {
    switch (result.status) {
        case NameOnDisk::Status::Found:
            return result.name;
        case NameOnDisk::Status::None:
            return "(none)";
        case NameOnDisk::Status::Failed:
            return "(failed)";
    }
    return "(?)";
}

std::string on_disk(const std::string& folder, const std::string& name) {
    return on_disk(real_name_in(folder, name));
}

// The choice among case variants is the match's (pattern_test); here it meets a real folder.
TEST(RealName, ExactNameElseTheFirstCaseVariantInByteOrder) {
    testing::TempFolder folder;
    folder.write("e1L8.map", "");
    folder.write("E1L8.MAP", "");
    EXPECT_EQ(on_disk(folder.str(), "e1l8.map"), "E1L8.MAP");
    EXPECT_EQ(on_disk(folder.str(), "e1L8.map"), "e1L8.map");
    EXPECT_EQ(on_disk(PosixFiles(folder.str()).real_name("E1l8.map")), "E1L8.MAP");
}

TEST(RealName, OnlyRegularFilesAndLinksToThemCount) {
    testing::TempFolder folder;
    fs::create_directory(folder.path() / "A.MAP");
    EXPECT_EQ(on_disk(folder.str(), "a.map"), "(none)");
    EXPECT_EQ(on_disk(folder.str(), "A.MAP"), "(none)");
    folder.write("target", "");
    fs::create_symlink("target", folder.path() / "B.MAP");
    fs::create_symlink("nowhere", folder.path() / "C.MAP");
    EXPECT_EQ(on_disk(folder.str(), "b.map"), "B.MAP");
    EXPECT_EQ(on_disk(folder.str(), "c.map"), "(none)");
}

TEST(RealName, NoBareNameFindsNothing) {
    testing::TempFolder folder;
    folder.write("a.map", "");
    fs::create_directory(folder.path() / "sub");
    folder.write("sub/b.map", "");
    for (const char* name : {"", ".", "..", "sub/b.map", "../a.map", "A.MAP/"})
        EXPECT_EQ(on_disk(folder.str(), name), "(none)") << name;
}

// A folder that cannot be searched is not one without the file: the lookup says why.
TEST(RealName, AFolderThatCannotBeSearchedIsAFailureNotNone) {
    testing::TempFolder folder;
    NameOnDisk missing = real_name_in(folder.str() + "/missing", "a.map");
    EXPECT_EQ(missing.status, NameOnDisk::Status::Failed);
    EXPECT_EQ(missing.error, "No such file or directory");
    folder.write("file", "");
    NameOnDisk not_folder = real_name_in(folder.str() + "/file", "a.map");
    EXPECT_EQ(not_folder.status, NameOnDisk::Status::Failed);
    EXPECT_EQ(not_folder.error, "Not a directory");
    // A bare-name mistake is the caller's, and says there is none without touching the folder.
    EXPECT_EQ(on_disk(folder.str() + "/missing", "../a.map"), "(none)");
}

}  // namespace
}  // namespace dorvane
