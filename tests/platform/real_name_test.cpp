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

TEST(RealName, ExactNameElseTheFirstCaseVariantInByteOrder) {
    testing::TempFolder folder;
    folder.write("E1L8.MAP", "");
    EXPECT_EQ(real_name_in(folder.str(), "e1l8.map"), "E1L8.MAP");
    folder.write("e1L8.map", "");
    EXPECT_EQ(real_name_in(folder.str(), "e1l8.map"), "E1L8.MAP");
    EXPECT_EQ(real_name_in(folder.str(), "e1L8.map"), "e1L8.map");  // the exact one, though later
    folder.write("e1l8.map", "");
    EXPECT_EQ(real_name_in(folder.str(), "E1l8.Map"), "E1L8.MAP");
    EXPECT_EQ(real_name_in(folder.str(), "e1l8.map"), "e1l8.map");
    EXPECT_EQ(PosixFiles(folder.str()).real_name("E1L8.map"), "E1L8.MAP");
}

TEST(RealName, CapitalsComeFirstOnlyWhenThereIsNoExactName) {
    testing::TempFolder folder;
    folder.write("Build.Exe", "");
    folder.write("bUILD.eXE", "");
    EXPECT_EQ(real_name_in(folder.str(), "build.exe"), "Build.Exe");
    folder.write("BUILD.EXE", "");
    EXPECT_EQ(real_name_in(folder.str(), "build.exe"), "BUILD.EXE");
    EXPECT_EQ(real_name_in(folder.str(), "bUILD.eXE"), "bUILD.eXE");
    fs::remove(folder.path() / "BUILD.EXE");
    fs::create_directory(folder.path() / "BUILD.EXE");  // not a file: the folder decides
    EXPECT_EQ(real_name_in(folder.str(), "build.exe"), "Build.Exe");
}

TEST(RealName, OnlyRegularFilesAndLinksToThemCount) {
    testing::TempFolder folder;
    fs::create_directory(folder.path() / "A.MAP");
    EXPECT_EQ(real_name_in(folder.str(), "a.map"), std::nullopt);
    EXPECT_EQ(real_name_in(folder.str(), "A.MAP"), std::nullopt);
    folder.write("target", "");
    fs::create_symlink("target", folder.path() / "B.MAP");
    fs::create_symlink("nowhere", folder.path() / "C.MAP");
    EXPECT_EQ(real_name_in(folder.str(), "b.map"), "B.MAP");
    EXPECT_EQ(real_name_in(folder.str(), "c.map"), std::nullopt);
}

TEST(RealName, NoBareNameOrNoFolderFindsNothing) {
    testing::TempFolder folder;
    folder.write("a.map", "");
    fs::create_directory(folder.path() / "sub");
    folder.write("sub/b.map", "");
    for (const char* name : {"", ".", "..", "sub/b.map", "../a.map", "A.MAP/"})
        EXPECT_EQ(real_name_in(folder.str(), name), std::nullopt) << name;
    EXPECT_EQ(real_name_in(folder.str() + "/missing", "a.map"), std::nullopt);
}

}  // namespace
}  // namespace dorvane
