// SPDX-License-Identifier: MIT
// The file services' contract on real files, one case set for PosixFiles and Win32Files (under
// Wine): a system's test gives a fixture that is a FileRig and adds DORVANE_FILE_CASES(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/file_service.h"
#include "support/temp_folder.h"

namespace dorvane::testing {

using Names = std::vector<std::string>;

struct FileRig {
    virtual ~FileRig() = default;
    // The system's files in `folder` (bare names resolve there).
    virtual std::unique_ptr<FileService> files_in(const std::string& folder) = 0;
    // Makes a file that the system lists as hidden, from `name`, and gives the name it has.
    virtual std::string hidden_file(const std::string& name) = 0;
    // Makes entries that are no regular file (a folder at least) and gives their names.
    virtual Names not_files() = 0;
    // Runs a POSIX shell command as root in the folder; false if it failed or there is no shell.
    virtual bool shell(const std::string& command) = 0;

    TempFolder folder;
    std::unique_ptr<FileService> files() { return files_in(folder.str()); }
    FileWrite save(const std::string& name, std::string_view bytes,
                   std::optional<std::string_view> expected = std::nullopt) {
        return files()->replace_file(name, bytes, expected);
    }
    Names names(const std::string& sub = "") const {
        Names out;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path() / sub))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

namespace file_cases {

// A read takes at most the limit; a kept copy never overwrites a file of its name.
inline void reads_and_keeps_copies(FileRig& rig) {
    rig.folder.write("Qimdat.dat", std::string("one\0two", 7));
    auto files = rig.files();
    FileRead whole = files->read_file("Qimdat.dat", 7), part = files->read_file("Qimdat.dat", 3);
    EXPECT_TRUE(whole.status == FileRead::Status::Ok && !whole.truncated &&
                whole.bytes == std::string("one\0two", 7));
    EXPECT_TRUE(part.status == FileRead::Status::Ok && part.truncated && part.bytes == "one");
    EXPECT_EQ(files->read_file("none", 10).status, FileRead::Status::Missing);
    ASSERT_TRUE(files->keep_copy("Qimdat.dat", "Qimdat.bad").ok);
    rig.folder.write("Qimdat.dat", "damaged again");
    FileWrite again = files->keep_copy("Qimdat.dat", "Qimdat.bad");
    EXPECT_TRUE(!again.ok && !again.error.empty());
    EXPECT_EQ(rig.folder.read("Qimdat.bad"), std::string("one\0two", 7));
    EXPECT_FALSE(files->keep_copy("missing.dat", "missing.bad").ok);
}

// Only a regular file holding what the caller expects is replaced, with exactly the bytes given,
// nothing left beside it (a crash's temporary file is taken over, another file's is not). Where a
// save would replace a device (even through a link), a folder or a pipe, nothing changes.
inline void saves_only_what_is_expected(FileRig& rig) {
    rig.folder.write(".Qimdat.dat.tmp", "left by a crash");
    rig.folder.write(".other.tmp", "half");
    for (std::string bytes :
         {std::string("first\r\n"), std::string("se\0cond", 7), std::string()}) {
        ASSERT_TRUE(rig.save("Qimdat.dat", bytes).ok);
        EXPECT_EQ(rig.folder.read("Qimdat.dat"), bytes);
    }
    ASSERT_TRUE(rig.save("Qimdat.dat", "mine", "").ok);
    for (std::string_view stale : {"", "min", "mine!"}) {
        FileWrite w = rig.save("Qimdat.dat", "again", stale);
        EXPECT_TRUE(!w.ok && w.changed) << stale;
    }
    EXPECT_EQ(rig.folder.read("Qimdat.dat"), "mine");
    EXPECT_EQ(rig.names(), (Names{".other.tmp", "Qimdat.dat"}));
    std::filesystem::remove(rig.folder.path() / "Qimdat.dat");
    EXPECT_TRUE(rig.save("Qimdat.dat", "again", "mine").changed);
    EXPECT_FALSE(rig.folder.exists("Qimdat.dat"));
    for (const std::string& name : rig.not_files()) {
        auto type = std::filesystem::symlink_status(rig.folder.path() / name).type();
        FileWrite w = rig.save(name, "catalogue");
        EXPECT_TRUE(!w.ok && !w.error.empty()) << name;
        EXPECT_EQ(rig.files()->read_file(name, 10).status, FileRead::Status::Failed) << name;
        EXPECT_EQ(std::filesystem::symlink_status(rig.folder.path() / name).type(), type) << name;
        EXPECT_FALSE(rig.folder.exists("." + name + ".tmp")) << name;
    }
}

// Writers take turns: every file a reader meets is whole, and a reader does not stop a writer.
inline void writers_take_turns(FileRig& rig) {
    constexpr std::size_t kSize = 256 * 1024;
    std::atomic<int> failed{0}, running{4};
    std::vector<std::thread> writers;
    for (char w = 'a'; w < 'e'; ++w)
        writers.emplace_back([&, w] {
            auto mine = rig.files();
            for (int i = 0; i < 20; ++i)
                failed += !mine->replace_file("Qimdat.dat", std::string(kSize, w), {}).ok;
            --running;
        });
    for (auto reader = rig.files(); running > 0;) {
        std::string now = reader->read_file("Qimdat.dat", kSize).bytes;
        EXPECT_TRUE(now.empty() || now == std::string(kSize, now[0]));
    }
    for (std::thread& writer : writers)
        writer.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(rig.names(), Names{"Qimdat.dat"});
}

// The long names decide (a system that matches short 8.3 names too would take "a.mapx"); a
// folder that cannot be searched is reported, never passed off as one without files.
inline void lists_and_finds(FileRig& rig) {
    for (const char* name : {"b.map", "A.MAP", "c.Map", "a.mapx", "map", "notes.txt"})
        rig.folder.write(name, "x");
    std::filesystem::create_directory(rig.folder.path() / "dir.map");
    Names all{"A.MAP", "b.map", "c.Map", rig.hidden_file("secret.map")};
    std::sort(all.begin(), all.end());
    auto files = rig.files();
    EXPECT_EQ(files->list_files("*.map", Hidden::Listed).names, all);
    EXPECT_EQ(files->list_files("*.MAP", Hidden::LeftOut).names,
              (Names{"A.MAP", "b.map", "c.Map"}));
    FileListing none = files->list_files("*.grp", Hidden::Listed);
    EXPECT_TRUE(none.ok && none.names.empty());
    EXPECT_EQ(files->real_name("C.MAP").name, "c.Map");
    for (const char* name : {"d.map", "*.map", "dir.map"})
        EXPECT_EQ(files->real_name(name).status, NameOnDisk::Status::None) << name;

    auto gone = rig.files_in((rig.folder.path() / "gone").string());
    FileListing missing = gone->list_files("*.map", Hidden::Listed);
    EXPECT_TRUE(!missing.ok && !missing.error.empty());
    EXPECT_EQ(gone->real_name("b.map").status, NameOnDisk::Status::Failed);
    EXPECT_FALSE(gone->replace_file("Qimdat.dat", "x", {}).ok);
}

// A file in a folder no one may write is saved in place. A full disk (in place or not) or a
// read-only one stops a save with the reason, the old content kept and nothing left beside it.
inline void a_file_in_a_locked_folder(FileRig& rig) {
    std::filesystem::create_directory(rig.folder.path() / "game");
    rig.folder.write("game/Qimdat.dat", "old catalogue");
    if (!rig.shell("chattr +i game"))
        GTEST_SKIP() << "no POSIX shell, or a file system without immutable folders";
    auto game = rig.files_in((rig.folder.path() / "game").string());
    FileWrite shorter = game->replace_file("Qimdat.dat", "new", {});
    FileWrite longer = game->replace_file("Qimdat.dat", "a longer catalogue", {});
    FileWrite other = game->replace_file("other", "x", {});
    rig.shell("chattr -i game");
    EXPECT_TRUE(shorter.ok && longer.ok && !other.ok) << shorter.error << longer.error;
    EXPECT_EQ(rig.folder.read("game/Qimdat.dat"), "a longer catalogue");
    EXPECT_EQ(rig.names("game"), Names{"Qimdat.dat"});

    if (!rig.shell("mount -t tmpfs -o size=64k tmpfs game"))
        GTEST_SKIP() << "cannot mount a small file system here";
    rig.folder.write("game/Qimdat.dat", "old catalogue");
    rig.shell("head -c 1M /dev/zero > game/filler 2>/dev/null");
    std::vector<FileWrite> failed{game->replace_file("Qimdat.dat", std::string(40000, 'x'), {})};
    rig.shell("chattr +i game");
    failed.push_back(game->replace_file("Qimdat.dat", std::string(40000, 'x'), {}));
    rig.shell("chattr -i game; mount -o remount,ro game");
    failed.push_back(game->replace_file("Qimdat.dat", "x", {}));
    std::string after = rig.folder.read("game/Qimdat.dat");
    Names left = rig.names("game");
    rig.shell("umount game");
    for (const FileWrite& w : failed)
        EXPECT_TRUE(!w.ok && w.old_kept && !w.error.empty()) << w.error;
    EXPECT_EQ(after, "old catalogue");
    EXPECT_EQ(left, (Names{"Qimdat.dat", "filler"}));
}

}  // namespace file_cases

#define DORVANE_FILE_CASE(Fixture, Name, function)       \
    TEST_F(Fixture, Name) {                              \
        ::dorvane::testing::file_cases::function(*this); \
    }
#define DORVANE_FILE_CASES(Fixture)                                                        \
    DORVANE_FILE_CASE(Fixture, ReadsAndKeepsCopies, reads_and_keeps_copies)                \
    DORVANE_FILE_CASE(Fixture, SavesOnlyWhatTheCallerExpects, saves_only_what_is_expected) \
    DORVANE_FILE_CASE(Fixture, WritersAtOnce, writers_take_turns)                          \
    DORVANE_FILE_CASE(Fixture, ListsAndFindsRegularFiles, lists_and_finds)                 \
    DORVANE_FILE_CASE(Fixture, AWritableFileInAFolderThatIsNot, a_file_in_a_locked_folder)

}  // namespace dorvane::testing
