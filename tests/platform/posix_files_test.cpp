// SPDX-License-Identifier: MIT
// The POSIX file services as root: the shared file cases, and links, owners, permissions, ACLs,
// extended attributes, devices and pipes.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_cases.h"
#include "platform/posix/files.h"
#include "platform/posix/real_name.h"

namespace dorvane::testing {
namespace {

struct PosixFilesTest : ::testing::Test, FileRig {
    std::unique_ptr<FileService> files_in(const std::string& folder) override {
        return std::make_unique<PosixFiles>(folder);
    }
    std::string hidden_file(const std::string& name) override {
        folder.write("." + name, "x");
        return "." + name;
    }
    Names not_files() override {
        bool root = shell("mkfifo pipe && mkdir dir && mknod null c 1 3 && ln -s null link");
        return root ? Names{"pipe", "dir", "null", "link"} : Names{"pipe", "dir"};
    }
    bool shell(const std::string& command) override {
        return std::system(("cd '" + folder.str() + "' && (" + command + ")").c_str()) == 0;
    }
};

DORVANE_FILE_CASES(PosixFilesTest)

// A save keeps the file's identity: it writes the file links end in (made there if need be, each
// link read in its own folder; a chain that ends nowhere fails), hard links still share it, and
// the mode, ACL and extended attributes stay (with an ACL the mode's group bits are its mask, rw-
// for nobody's entry, not the group's r--); a folder's default ACL is not added to the file.
TEST_F(PosixFilesTest, ASaveKeepsLinksModeACLAndAttributes) {
    ASSERT_TRUE(
        shell("mkdir store links && ln -s links/hop db && ln -s ../store/db links/hop && ln -s "
              "missing/db nowhere && ln -s loop2 loop1 && ln -s loop1 loop2 && echo old > hard "
              "&& ln hard elsewhere"));
    ASSERT_TRUE(save("db", "first").ok && save("db", "second").ok);
    EXPECT_EQ(folder.read("store/db"), "second");
    EXPECT_NE(save("nowhere", "x").error.find("No such file"), std::string::npos);
    EXPECT_NE(save("loop1", "x").error.find("symbolic links"), std::string::npos);
    ASSERT_TRUE(save("hard", "a longer new content").ok && save("hard", "short").ok);
    EXPECT_EQ(folder.read("elsewhere"), "short");
    EXPECT_TRUE(shell("test -L db && test -L links/hop && test $(stat -c %h hard) = 2"));

    ASSERT_TRUE(shell(
        "echo old > acl && echo old > plain && chmod 2640 acl && setfacl -m u:nobody:rw acl && "
        "setfattr -n user.note -v 1 acl && setfacl -d -m u:nobody:rwx . && chmod 0600 plain"))
        << "needs setfacl and setfattr on a file system with ACLs";
    const std::string list =
        "getfacl -cp acl plain; getfattr -d -m - acl plain; stat -c %A acl plain";
    ASSERT_TRUE(shell("{ " + list + "; } > before"));
    ASSERT_TRUE(save("acl", "new").ok && save("plain", "new").ok);
    ASSERT_TRUE(shell("{ " + list + "; } > after"));
    EXPECT_EQ(folder.read("after"), folder.read("before"));
}

// As nobody: their read-only file is not replaced, nor is one made where they may not write;
// root's file that all may write keeps its owner. In a folder they may enter but not read, a name
// asked for exactly or in capitals is found, and another letter case fails.
TEST_F(PosixFilesTest, PermissionsAndOwnersAreKept) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    ASSERT_TRUE(shell(
        "chmod 0777 . && echo mine > locked && chmod 0444 locked && chown nobody:nogroup locked "
        "&& mkdir -m 0555 shut && echo old > db && chmod 0666 db && mkdir -m 0711 game && touch "
        "game/E1L8.MAP game/E3l1.Map"));
    PosixFiles files(folder.str()), shut(folder.str() + "/shut"), game(folder.str() + "/game");
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        ::_exit((files.replace_file("locked", "theirs").ok ? 1 : 0) |
                (shut.replace_file("db", "x").ok ? 2 : 0) |
                (files.replace_file("db", "saved").ok ? 0 : 4) |
                (game.real_name("e1l8.map").name != "E1L8.MAP" ? 8 : 0) |
                (game.real_name("e3l1.map").status != NameOnDisk::Status::Failed ? 16 : 0));
    }
    int code = 0;
    ::waitpid(child, &code, 0);
    EXPECT_EQ(code, 0) << "exit " << WEXITSTATUS(code) << " (100: cannot become another user)";
    EXPECT_EQ(folder.read("locked"), "mine\n");
    EXPECT_EQ(folder.read("db"), "saved");
    EXPECT_TRUE(shell("test $(stat -c %u:%g:%a db) = 0:0:666"));
    EXPECT_EQ(names(), (Names{"db", "game", "locked", "shut"}));
}

// The exact name, else the first in byte order of its case variants among regular files and links
// to them; bare names only (even in no folder); an unsearchable folder fails with the reason.
TEST_F(PosixFilesTest, RealNameOfAFileAskedForInAnotherLetterCase) {
    ASSERT_TRUE(
        shell("touch e1L8.map E1L8.MAP file && mkdir A.MAP sub && touch sub/b.map && ln -s "
              "file B.MAP && ln -s nowhere C.MAP"));
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"", "e1l8.map", "E1L8.MAP"},
        {"", "e1L8.map", "e1L8.map"},
        {"", "a.map", "(none)"},
        {"", "b.map", "B.MAP"},
        {"", "c.map", "(none)"},
        {"", "sub/b.map", "(none)"},
        {"/file", "a.map", "(Not a directory)"},
        {"/missing", "../a.map", "(none)"}};
    for (const auto& [sub, name, expected] : cases) {
        NameOnDisk found = real_name_in(folder.str() + sub, name);
        EXPECT_EQ(found.status == NameOnDisk::Status::Found  ? found.name
                  : found.status == NameOnDisk::Status::None ? "(none)"
                                                             : "(" + found.error + ")",
                  expected)
            << sub << " " << name;
    }
}

}  // namespace
}  // namespace dorvane::testing
