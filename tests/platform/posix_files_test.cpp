// The POSIX file services on real files: reads with a limit, atomic replacement that keeps
// permissions, kept copies that never overwrite, and file lists.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

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

TEST_F(PosixFilesTest, StaleTemporaryFilesOfDeadWritersAreRemoved) {
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string prefix = PosixFiles::temp_prefix("db");
    const std::string dead = prefix + std::to_string(child) + "-0";
    const std::string alive = prefix + "1-0";  // process 1 always runs
    const std::string other = PosixFiles::temp_prefix("other") + std::to_string(child) + "-0";
    for (const std::string& name : {dead, alive, other})
        folder.write(name, "half");
    ASSERT_TRUE(files.replace_file("db", "whole").ok);
    EXPECT_FALSE(folder.exists(dead));
    EXPECT_TRUE(folder.exists(alive));
    EXPECT_TRUE(folder.exists(other));
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
    EXPECT_EQ(files.list_files("*.map"),
              (std::vector<std::string>{".map", "A.MAP", "b.map", "c.Map", "link.map"}));
    EXPECT_EQ(files.list_files("?.MAP"), (std::vector<std::string>{"A.MAP", "b.map", "c.Map"}));
    EXPECT_TRUE(PosixFiles(folder.str() + "/none").list_files("*").empty());
}

TEST_F(PosixFilesTest, LeavesOutHiddenFilesWhenAsked) {
    for (const char* name : {"e1l8.map", ".hid.map", ".MAP", "..map"})
        folder.write(name, "");
    fs::create_symlink("e1l8.map", at(".link.map"));
    fs::create_symlink(".hid.map", at("shown.map"));  // a shown name for a hidden file is shown
    EXPECT_EQ(files.list_files("*.map", Hidden::LeftOut),
              (std::vector<std::string>{"e1l8.map", "shown.map"}));
    EXPECT_EQ(files.list_files("*.map", Hidden::Listed),
              (std::vector<std::string>{"..map", ".MAP", ".hid.map", ".link.map", "e1l8.map",
                                        "shown.map"}));
}

// Permission bits bind only users other than root, so a child process becomes one.
TEST_F(PosixFilesTest, PermissionsOfAnotherUserAreRespected) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    fs::permissions(folder.path(), fs::perms(0777));
    folder.write("locked", "mine");
    fs::permissions(at("locked"), fs::perms(0444));
    fs::create_directory(at("shut"));
    fs::permissions(at("shut"), fs::perms(0555));
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        PosixFiles as_nobody(folder.str());
        int failures = 0;
        failures |= as_nobody.replace_file("locked", "theirs").ok ? 1 : 0;
        failures |= PosixFiles(folder.str() + "/shut").replace_file("db", "x").ok ? 2 : 0;
        failures |= as_nobody.replace_file("free", "new").ok ? 0 : 4;
        ::_exit(failures);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 10) << "cannot become another user";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(folder.read("locked"), "mine");
    EXPECT_EQ(folder.read("free"), "new");
}

}  // namespace
}  // namespace dorvane
