// SPDX-License-Identifier: MIT
// The POSIX file services on real files: reads with a limit, atomic replacement that keeps the
// file's identity (links, owner, permissions), writers taking turns, kept copies that never
// overwrite, and file lists.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "platform/posix/files.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

namespace fs = std::filesystem;

struct PosixFilesTest : ::testing::Test {
    testing::TempFolder folder;
    PosixFiles files{folder.str()};

    fs::path at(const std::string& name) const { return folder.path() / name; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(folder.path()))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(PosixFilesTest, ReadsWholeFilesUpToALimit) {
    folder.write("a.txt", std::string("one\0two", 7));
    FileRead read = files.read_file("a.txt", 100);
    EXPECT_EQ(read.status, FileRead::Status::Ok);
    EXPECT_EQ(read.bytes, std::string("one\0two", 7));
    EXPECT_FALSE(read.truncated);

    EXPECT_FALSE(files.read_file("a.txt", 7).truncated);
    read = files.read_file("a.txt", 3);
    EXPECT_EQ(read.bytes, "one");
    EXPECT_TRUE(read.truncated);

    folder.write("big", std::string(100000, 'b'));
    read = files.read_file("big", 50000);
    EXPECT_EQ(read.bytes.size(), 50000u);
    EXPECT_TRUE(read.truncated);
}

TEST_F(PosixFilesTest, MissingFoldersAndPipesAreNotRead) {
    EXPECT_EQ(files.read_file("none", 10).status, FileRead::Status::Missing);
    fs::create_directory(at("dir"));
    FileRead read = files.read_file("dir", 10);
    EXPECT_EQ(read.status, FileRead::Status::Failed);
    EXPECT_FALSE(read.error.empty());
    // A pipe with no writer would block a plain open for ever.
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files.read_file("pipe", 10).status, FileRead::Status::Failed);
}

TEST_F(PosixFilesTest, ReplaceWritesExactBytesAndKeepsPermissions) {
    FileWrite w = files.replace_file("db", "first\r\n");
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_EQ(folder.read("db"), "first\r\n");

    fs::permissions(at("db"), fs::perms(0604));
    ASSERT_TRUE(files.replace_file("db", std::string("sec\0nd", 6)).ok);
    EXPECT_EQ(folder.read("db"), std::string("sec\0nd", 6));
    EXPECT_EQ(fs::status(at("db")).permissions(), fs::perms(0604));
    ASSERT_TRUE(files.replace_file("db", "").ok);
    EXPECT_EQ(fs::file_size(at("db")), 0u);
    EXPECT_EQ(names(), std::vector<std::string>{"db"});
}

TEST_F(PosixFilesTest, ReplaceThroughALinkReplacesItsTarget) {
    fs::create_directory(at("real"));
    folder.write("real/db", "old");
    fs::create_symlink("real/db", at("db"));
    ASSERT_TRUE(files.replace_file("db", "new").ok);
    EXPECT_TRUE(fs::is_symlink(at("db")));
    EXPECT_EQ(folder.read("real/db"), "new");
}

TEST_F(PosixFilesTest, ReplaceFailsOnAFolderAndLeavesNothingBehind) {
    fs::create_directory(at("db"));
    FileWrite w = files.replace_file("db", "x");
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.error.empty());
    EXPECT_TRUE(fs::is_directory(at("db")));
    EXPECT_EQ(names(), std::vector<std::string>{"db"});
}

TEST_F(PosixFilesTest, ATemporaryFileACrashLeftIsRemovedByTheNextWrite) {
    const std::string left = PosixFiles::temp_name("db");
    folder.write(left, "half");
    folder.write(PosixFiles::temp_name("other"), "half");
    ASSERT_TRUE(files.replace_file("db", "whole").ok);
    EXPECT_EQ(folder.read("db"), "whole");
    EXPECT_EQ(names(), (std::vector<std::string>{PosixFiles::temp_name("other"), "db"}));
}

TEST_F(PosixFilesTest, ReplaceOnlyWhatTheCallerExpects) {
    folder.write("db", "seen");
    FileWrite w = files.replace_file("db", "mine", std::string_view("seen"));
    ASSERT_TRUE(w.ok) << w.error;
    EXPECT_EQ(folder.read("db"), "mine");
    // Changed by another since: nothing is written, and the caller learns why.
    for (std::string_view stale : {"seen", "min", "mine!", ""}) {
        w = files.replace_file("db", "again", stale);
        EXPECT_FALSE(w.ok);
        EXPECT_TRUE(w.changed) << stale;
    }
    EXPECT_EQ(folder.read("db"), "mine");
    fs::remove(at("db"));
    EXPECT_TRUE(files.replace_file("db", "again", std::string_view("mine")).changed);
    EXPECT_FALSE(folder.exists("db"));
    EXPECT_EQ(names(), std::vector<std::string>{});
}

// Writers of one folder take turns on the one temporary name: every file they leave is whole.
TEST_F(PosixFilesTest, WritersAtOnceEachLeaveAWholeFile) {
    constexpr int kWriters = 4;
    constexpr std::size_t kSize = 256 * 1024;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PosixFiles mine(folder.str());
            const std::string content(kSize, static_cast<char>('a' + w));
            int failed = 0;
            for (int i = 0; i < 40; ++i)
                failed += !mine.replace_file("db", content).ok;
            ::_exit(failed);
        }
    }
    int wholes = 0, running = kWriters;
    while (running > 0) {
        std::string now = folder.read("db");
        if (!now.empty()) {
            ASSERT_EQ(now.size(), kSize);
            ASSERT_EQ(now.find_first_not_of(now[0]), std::string::npos) << "a mix of two writers";
            ++wholes;
        }
        int status = 0;
        pid_t done = ::waitpid(-1, &status, WNOHANG);
        if (done > 0) {
            --running;
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "some writes failed";
        }
    }
    EXPECT_GT(wholes, 0);
    EXPECT_EQ(names(), std::vector<std::string>{"db"});
}

TEST_F(PosixFilesTest, ALinkToAFileNotThereYetCreatesItThere) {
    fs::create_directory(at("store"));
    fs::create_directory(at("links"));
    // db -> links/hop -> ../store/db: each link resolves against its own folder.
    fs::create_symlink("links/hop", at("db"));
    fs::create_symlink("../store/db", at("links/hop"));
    ASSERT_TRUE(files.replace_file("db", "first").ok);
    EXPECT_TRUE(fs::is_symlink(at("db")));
    EXPECT_TRUE(fs::is_symlink(at("links/hop")));
    EXPECT_EQ(folder.read("store/db"), "first");
    ASSERT_TRUE(files.replace_file("db", "second").ok);
    EXPECT_TRUE(fs::is_symlink(at("db")));
    EXPECT_EQ(folder.read("store/db"), "second");
    EXPECT_EQ(files.read_file("db", 100).bytes, "second");
}

TEST_F(PosixFilesTest, LinksThatLeadNowhereFailAndChangeNothing) {
    fs::create_symlink("missing/db", at("db"));
    FileWrite w = files.replace_file("db", "x");
    EXPECT_FALSE(w.ok);
    EXPECT_NE(w.error.find("No such file"), std::string::npos) << w.error;
    fs::create_symlink("loop2", at("loop1"));
    fs::create_symlink("loop1", at("loop2"));
    w = files.replace_file("loop1", "x");
    EXPECT_FALSE(w.ok);
    EXPECT_NE(w.error.find("symbolic links"), std::string::npos) << w.error;
    EXPECT_EQ(names(), (std::vector<std::string>{"db", "loop1", "loop2"}));
    EXPECT_TRUE(fs::is_symlink(at("db")));
}

TEST_F(PosixFilesTest, HardLinksKeepSharingTheFile) {
    folder.write("db", "old");
    fs::create_hard_link(at("db"), at("elsewhere"));
    fs::permissions(at("db"), fs::perms(0640));
    auto inode = [&](const char* name) {
        struct stat st {};
        ::stat(at(name).c_str(), &st);
        return st.st_ino;
    };
    const auto before = inode("db");
    ASSERT_TRUE(files.replace_file("db", "a longer new content").ok);
    EXPECT_EQ(folder.read("elsewhere"), "a longer new content");
    ASSERT_TRUE(files.replace_file("db", "short").ok);
    EXPECT_EQ(folder.read("db"), "short");
    EXPECT_EQ(folder.read("elsewhere"), "short");
    EXPECT_EQ(inode("db"), before);
    EXPECT_EQ(fs::status(at("db")).permissions(), fs::perms(0640));
    EXPECT_EQ(names(), (std::vector<std::string>{"db", "elsewhere"}));
}

TEST_F(PosixFilesTest, KeptCopiesNeverOverwriteAndOutliveReplacement) {
    folder.write("db", "damaged");
    ASSERT_TRUE(files.keep_copy("db", "db.kept").ok);
    EXPECT_EQ(folder.read("db.kept"), "damaged");

    folder.write("other", "newer");
    FileWrite again = files.keep_copy("other", "db.kept");
    EXPECT_FALSE(again.ok);
    EXPECT_FALSE(again.error.empty());
    EXPECT_EQ(folder.read("db.kept"), "damaged");

    // Replacing the file (a hard link shares its content) leaves the kept copy as it was.
    ASSERT_TRUE(files.replace_file("db", "mended").ok);
    EXPECT_EQ(folder.read("db.kept"), "damaged");
    EXPECT_FALSE(files.keep_copy("missing", "x").ok);
    EXPECT_FALSE(folder.exists("x"));
}

TEST_F(PosixFilesTest, KeepingALinkedFileKeepsItsContent) {
    folder.write("target", "content");
    fs::create_symlink("target", at("db"));
    ASSERT_TRUE(files.keep_copy("db", "db.kept").ok);
    EXPECT_FALSE(fs::is_symlink(at("db.kept")));
    ASSERT_TRUE(files.replace_file("db", "mended").ok);
    EXPECT_EQ(folder.read("db.kept"), "content");
}

TEST_F(PosixFilesTest, ListsRegularFilesByPatternIgnoringCaseSorted) {
    for (const char* name : {"b.map", "A.MAP", "c.Map", "notes.txt", "map", "x.map.bak", ".map"})
        folder.write(name, "");
    fs::create_directory(at("dir.map"));
    fs::create_symlink("b.map", at("link.map"));
    fs::create_symlink("dir.map", at("dirlink.map"));
    FileListing maps = files.list_files("*.map");
    EXPECT_TRUE(maps.ok);
    EXPECT_EQ(maps.names,
              (std::vector<std::string>{".map", "A.MAP", "b.map", "c.Map", "link.map"}));
    EXPECT_EQ(files.list_files("?.MAP").names,
              (std::vector<std::string>{"A.MAP", "b.map", "c.Map"}));
    // Nothing matching is an answer, not a failure.
    FileListing none = files.list_files("*.grp");
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.names.empty());
}

// A folder that cannot be read is reported, never passed off as one without files.
TEST_F(PosixFilesTest, AFolderThatCannotBeListedSaysWhy) {
    FileListing missing = PosixFiles(folder.str() + "/none").list_files("*");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, "No such file or directory");
    folder.write("file", "");
    FileListing not_folder = PosixFiles(folder.str() + "/file").list_files("*");
    EXPECT_FALSE(not_folder.ok);
    EXPECT_EQ(not_folder.error, "Not a directory");
    EXPECT_TRUE(not_folder.names.empty());

    // The folder the program runs in, removed under it: even root cannot list it any more.
    fs::create_directory(at("game"));
    folder.write("game/e1l8.map", "");
    PosixFiles game(folder.str() + "/game");
    ASSERT_EQ(game.list_files("*.map").names, std::vector<std::string>{"e1l8.map"});
    fs::remove_all(at("game"));
    FileListing gone = game.list_files("*.map");
    EXPECT_FALSE(gone.ok);
    EXPECT_FALSE(gone.error.empty());
}

TEST_F(PosixFilesTest, LeavesOutHiddenFilesWhenAsked) {
    for (const char* name : {"e1l8.map", ".hid.map", ".MAP", "..map"})
        folder.write(name, "");
    fs::create_symlink("e1l8.map", at(".link.map"));
    fs::create_symlink(".hid.map", at("shown.map"));  // a shown name for a hidden file is shown
    EXPECT_EQ(files.list_files("*.map", Hidden::LeftOut).names,
              (std::vector<std::string>{"e1l8.map", "shown.map"}));
    EXPECT_EQ(files.list_files("*.map", Hidden::Listed).names,
              (std::vector<std::string>{"..map", ".MAP", ".hid.map", ".link.map", "e1l8.map",
                                        "shown.map"}));
}

// Runs `body` as the user nobody (group nogroup, no other groups) in a child process and returns
// its exit status; permission bits bind only users other than root.
int as_nobody(const std::function<int()>& body) {
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

struct AnotherUser : PosixFilesTest {
    void SetUp() override {
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to set owners and to become another user";
        fs::permissions(folder.path(), fs::perms(0777));
    }
    struct stat status(const std::string& name) const {
        struct stat st {};
        ::stat(at(name).c_str(), &st);
        return st;
    }
};

TEST_F(AnotherUser, PermissionsAreRespected) {
    folder.write("locked", "mine");
    fs::permissions(at("locked"), fs::perms(0444));
    fs::create_directory(at("shut"));
    fs::permissions(at("shut"), fs::perms(0555));
    int failures = as_nobody([&] {
        PosixFiles files(folder.str());
        int failed = 0;
        failed |= files.replace_file("locked", "theirs").ok ? 1 : 0;
        failed |= PosixFiles(folder.str() + "/shut").replace_file("db", "x").ok ? 2 : 0;
        failed |= files.replace_file("free", "new").ok ? 0 : 4;
        return failed;
    });
    ASSERT_NE(failures, 100) << "cannot become another user";
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(folder.read("locked"), "mine");
    EXPECT_EQ(folder.read("free"), "new");
}

// Root's file that everyone may write keeps its owner when another user saves it.
TEST_F(AnotherUser, AnotherUsersFileKeepsItsOwnerAndGroup) {
    folder.write("db", "root's");
    ASSERT_EQ(::chown(at("db").c_str(), 0, 0), 0);
    fs::permissions(at("db"), fs::perms(0666));
    EXPECT_EQ(
        as_nobody([&] { return PosixFiles(folder.str()).replace_file("db", "saved").ok ? 0 : 1; }),
        0);
    EXPECT_EQ(folder.read("db"), "saved");
    EXPECT_EQ(status("db").st_uid, 0u);
    EXPECT_EQ(status("db").st_gid, 0u);
    EXPECT_EQ(status("db").st_mode & 07777, 0666u);
    EXPECT_EQ(names(), std::vector<std::string>{"db"});

    // Root saves another's file atomically and gives it back to its owner.
    ASSERT_EQ(::chown(at("db").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(files.replace_file("db", "by root").ok);
    EXPECT_EQ(status("db").st_uid, 65534u);
    EXPECT_EQ(status("db").st_gid, 65534u);
}

// The user's own file in a folder they may not write: saved in place, the folder untouched.
TEST_F(AnotherUser, AWritableFileInAFolderThatIsNot) {
    fs::create_directory(at("game"));
    folder.write("game/db", "old catalogue");
    ASSERT_EQ(::chown(at("game/db").c_str(), 65534, 65534), 0);
    fs::permissions(at("game"), fs::perms(0755));
    PosixFiles game(folder.str() + "/game");
    int result = as_nobody([&] {
        if (!game.replace_file("db", "new").ok)
            return 1;
        if (!game.replace_file("db", "a longer catalogue than before").ok)
            return 2;
        // A new file cannot be made there: that is reported.
        return game.replace_file("other", "x").ok ? 3 : 0;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(folder.read("game/db"), "a longer catalogue than before");
    EXPECT_EQ(status("game/db").st_uid, 65534u);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(at("game")))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"db"});
}

// A folder others may enter but not read (mode 0711): names asked for exactly are still found,
// while a listing, or a search for another letter case, fails with the reason instead of
// reporting no files.
TEST_F(AnotherUser, AFolderTheyMayNotReadIsReportedNotEmpty) {
    fs::create_directory(at("game"));
    folder.write("game/E1L8.MAP", "");
    folder.write("game/e2l1.map", "");
    folder.write("game/E3l1.Map", "");
    fs::permissions(at("game"), fs::perms(0711));
    PosixFiles game(folder.str() + "/game");
    int result = as_nobody([&] {
        FileListing listing = game.list_files("*.map", Hidden::LeftOut);
        if (listing.ok || !listing.names.empty() || listing.error != "Permission denied")
            return 1;
        NameOnDisk exact = game.real_name("e2l1.map");
        if (exact.status != NameOnDisk::Status::Found || exact.name != "e2l1.map")
            return 2;
        NameOnDisk capitals = game.real_name("e1l8.map");
        if (capitals.status != NameOnDisk::Status::Found || capitals.name != "E1L8.MAP")
            return 3;
        NameOnDisk mixed = game.real_name("e3l1.map");
        if (mixed.status != NameOnDisk::Status::Failed || mixed.error != "Permission denied")
            return 4;
        return 0;
    });
    ASSERT_NE(result, 100) << "cannot become another user";
    EXPECT_EQ(result, 0);
    // Root reads it all the same: the same calls that failed give the folder's answer.
    EXPECT_EQ(game.list_files("*.map").names,
              (std::vector<std::string>{"E1L8.MAP", "E3l1.Map", "e2l1.map"}));
    EXPECT_EQ(game.real_name("e3l1.map").name, "E3l1.Map");
}

}  // namespace
}  // namespace dorvane
