// SPDX-License-Identifier: MIT
// The Win32 file services, on real files in a temporary folder (run under Wine by the tests).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/win32/files.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct Win32FilesTest : ::testing::Test {
    testing::TempFolder folder;
    Win32Files files{folder.str()};
};

TEST_F(Win32FilesTest, ReadsWholeFilesAndTellsMissingFromTooLong) {
    folder.write("Qimdat.dat", "abc\r\ndef\r\n");
    FileRead whole = files.read_file("Qimdat.dat", 100);
    EXPECT_EQ(whole.status, FileRead::Status::Ok);
    EXPECT_EQ(whole.bytes, "abc\r\ndef\r\n");
    EXPECT_FALSE(whole.truncated);

    FileRead cut = files.read_file("Qimdat.dat", 4);
    EXPECT_EQ(cut.status, FileRead::Status::Ok);
    EXPECT_EQ(cut.bytes, "abc\r");
    EXPECT_TRUE(cut.truncated);

    FileRead exact = files.read_file("Qimdat.dat", 10);
    EXPECT_FALSE(exact.truncated);

    EXPECT_EQ(files.read_file("nothing.dat", 10).status, FileRead::Status::Missing);
}

TEST_F(Win32FilesTest, ReplaceCreatesOrReplacesAndLeavesNothingBeside) {
    ASSERT_TRUE(files.replace_file("Qimdat.dat", "first").ok);
    EXPECT_EQ(folder.read("Qimdat.dat"), "first");
    ASSERT_TRUE(files.replace_file("Qimdat.dat", std::string("se\0cond", 7)).ok);
    EXPECT_EQ(folder.read("Qimdat.dat"), std::string("se\0cond", 7));
    ASSERT_TRUE(files.replace_file("Qimdat.dat", "").ok);
    EXPECT_EQ(folder.read("Qimdat.dat"), "");
    EXPECT_EQ(files.list_files("*").names, std::vector<std::string>{"Qimdat.dat"});
}

TEST_F(Win32FilesTest, ReplaceOnlyWhatTheCallerExpects) {
    folder.write("Qimdat.dat", "seen");
    ASSERT_TRUE(files.replace_file("Qimdat.dat", "mine", std::string_view("seen")).ok);
    for (std::string_view stale : {"seen", "min", "mine!", ""}) {
        FileWrite w = files.replace_file("Qimdat.dat", "again", stale);
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.changed) << stale;
    }
    EXPECT_EQ(folder.read("Qimdat.dat"), "mine");
    std::filesystem::remove(folder.path() / "Qimdat.dat");
    EXPECT_TRUE(files.replace_file("Qimdat.dat", "x", std::string_view("mine")).changed);
    EXPECT_TRUE(files.list_files("*").names.empty());
}

// Writers take turns on the one temporary name; a crash's leftover is simply written over.
TEST_F(Win32FilesTest, WritersAtOnceEachLeaveAWholeFile) {
    folder.write(".Qimdat.dat.tmp", "left by a crash");
    constexpr std::size_t kSize = 256 * 1024;
    std::atomic<int> failed{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            Win32Files mine(folder.str());
            const std::string content(kSize, static_cast<char>('a' + w));
            for (int i = 0; i < 20; ++i)
                failed += !mine.replace_file("Qimdat.dat", content).ok;
        });
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(failed, 0);
    std::string now = folder.read("Qimdat.dat");
    ASSERT_EQ(now.size(), kSize);
    EXPECT_EQ(now.find_first_not_of(now[0]), std::string::npos);
    EXPECT_EQ(files.list_files("*").names, std::vector<std::string>{"Qimdat.dat"});
}

TEST_F(Win32FilesTest, BareNamesResolveInTheCurrentFolder) {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().wstring().c_str()));
    Win32Files here;
    bool created = here.replace_file("Qimdat.dat", "one").ok;
    bool replaced = here.replace_file("Qimdat.dat", "two").ok;
    std::vector<std::string> listed = here.list_files("*.dat").names;
    SetCurrentDirectoryW(before);
    EXPECT_TRUE(created);
    EXPECT_TRUE(replaced);
    EXPECT_EQ(folder.read("Qimdat.dat"), "two");
    EXPECT_EQ(listed, std::vector<std::string>{"Qimdat.dat"});
}

TEST_F(Win32FilesTest, AReadOnlyFileIsNotReplaced) {
    folder.write("Qimdat.dat", "old");
    std::wstring path = (folder.path() / "Qimdat.dat").wstring();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    FileWrite result = files.replace_file("Qimdat.dat", "new");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(folder.read("Qimdat.dat"), "old");
    EXPECT_TRUE(files.list_files(".Qimdat.dat.tmp").names.empty());
}

TEST_F(Win32FilesTest, ReplaceKeepsTheOldFilesAttributes) {
    folder.write("Qimdat.dat", "old");
    std::wstring path = (folder.path() / "Qimdat.dat").wstring();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(files.replace_file("Qimdat.dat", "new").ok);
    EXPECT_EQ(folder.read("Qimdat.dat"), "new");
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(Win32FilesTest, AFailedReplaceSaysWhyAndKeepsTheOldFile) {
    folder.write("Qimdat.dat", "old");
    std::wstring path = (folder.path() / "Qimdat.dat").wstring();
    // Another program holding the file open without sharing blocks the swap.
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FileWrite result = files.replace_file("Qimdat.dat", "new");
    CloseHandle(held);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(folder.read("Qimdat.dat"), "old");
    // Ours only: Wine's ReplaceFile leaves a backup of its own (rfNNNN.tmp) when it fails.
    EXPECT_TRUE(files.list_files(".Qimdat.dat.tmp").names.empty())
        << "the new content was left beside it";

    Win32Files nowhere((folder.path() / "gone").string());
    FileWrite lost = nowhere.replace_file("Qimdat.dat", "x");
    EXPECT_FALSE(lost.ok);
    EXPECT_FALSE(lost.error.empty());
}

TEST_F(Win32FilesTest, KeepCopyNeverOverwrites) {
    folder.write("Qimdat.dat", "damaged");
    ASSERT_TRUE(files.keep_copy("Qimdat.dat", "Qimdat.bad").ok);
    EXPECT_EQ(folder.read("Qimdat.bad"), "damaged");
    folder.write("Qimdat.dat", "damaged again");
    FileWrite again = files.keep_copy("Qimdat.dat", "Qimdat.bad");
    EXPECT_FALSE(again.ok);
    EXPECT_FALSE(again.error.empty());
    EXPECT_EQ(folder.read("Qimdat.bad"), "damaged");
    EXPECT_FALSE(files.keep_copy("missing.dat", "missing.bad").ok);
}

TEST_F(Win32FilesTest, ListsRegularFilesByPatternSortedIgnoringCase) {
    for (const char* name : {"e1l8.map", "ZOO.MAP", "b.Map", "a.mapx", "map", "notes.txt"})
        folder.write(name, "x");
    std::filesystem::create_directory(folder.path() / "dir.map");
    EXPECT_EQ(files.list_files("*.map").names,
              (std::vector<std::string>{"ZOO.MAP", "b.Map", "e1l8.map"}));
    FileListing none = files.list_files("*.grp");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.names.empty());
}

// A folder that cannot be searched is reported, never passed off as one without files; the name
// lookup tells "no such file" from "no such folder" the same way.
TEST_F(Win32FilesTest, AFolderThatCannotBeListedSaysWhy) {
    folder.write("e1l8.map", "x");
    EXPECT_TRUE(files.list_files("*.map").ok);
    Win32Files nowhere((folder.path() / "gone").string());
    FileListing missing = nowhere.list_files("*.map");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.empty());
    EXPECT_TRUE(missing.names.empty());
    NameOnDisk lost = nowhere.real_name("e1l8.map");
    EXPECT_EQ(lost.status, NameOnDisk::Status::Failed);
    EXPECT_FALSE(lost.error.empty());

    NameOnDisk found = files.real_name("E1L8.MAP");
    EXPECT_EQ(found.status, NameOnDisk::Status::Found);
    EXPECT_EQ(found.name, "e1l8.map");
    EXPECT_EQ(files.real_name("e1l9.map").status, NameOnDisk::Status::None);
    EXPECT_EQ(files.real_name("*.map").status, NameOnDisk::Status::None);
}

TEST_F(Win32FilesTest, LeavesOutFilesWithTheHiddenAttributeWhenAsked) {
    for (const char* name : {"e1l8.map", "secret.map", "b.map"})
        folder.write(name, "x");
    ASSERT_TRUE(SetFileAttributesW((folder.path() / "secret.map").wstring().c_str(),
                                   FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(files.list_files("*.map", Hidden::LeftOut).names,
              (std::vector<std::string>{"b.map", "e1l8.map"}));
    EXPECT_EQ(files.list_files("*.map", Hidden::Listed).names,
              (std::vector<std::string>{"b.map", "e1l8.map", "secret.map"}));
}

}  // namespace
}  // namespace dorvane
