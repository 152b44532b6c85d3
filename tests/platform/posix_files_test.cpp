// SPDX-License-Identifier: MIT
// The POSIX file services on real files, as root: the shared file cases, and what only a POSIX
// system has: links, owners, permissions, ACLs and extended attributes, devices and pipes.
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/file_cases.h"
#include "platform/posix/files.h"

namespace dorvane::testing {
namespace {

namespace fs = std::filesystem;

struct PosixFilesTest : ::testing::Test, FileRig {
    std::unique_ptr<FileService> files_in(const std::string& folder) override {
        return std::make_unique<PosixFiles>(folder);
    }
    std::string hidden_file(const std::string& name) override {
        folder.write("." + name, "x");
        return "." + name;
    }
    // A pipe, a folder, and for root a copy of /dev/null and a link to it.
    Names not_files() override {
        EXPECT_EQ(::mkfifo(at("pipe").c_str(), 0666), 0);
        fs::create_directory(at("dir"));
        if (::mknod(at("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            return {"pipe", "dir"};
        fs::create_symlink("null", at("link"));
        return {"pipe", "dir", "null", "link"};
    }
    bool shell(const std::string& command) override {
        return std::system(("cd '" + folder.str() + "' && (" + command + ")").c_str()) == 0;
    }
    fs::path at(const std::string& name) const { return folder.path() / name; }
    struct stat status(const std::string& name) const {
        struct stat st {};
        ::stat(at(name).c_str(), &st);
        return st;
    }
};

DORVANE_FILE_CASES(PosixFilesTest)

// Links stay links: a save writes the file they end in, which is made there when it is not there
// yet (each link resolves against its own folder); a chain that ends nowhere fails.
TEST_F(PosixFilesTest, LinksAreFollowedAndKept) {
    fs::create_directory(at("store"));
    fs::create_directory(at("links"));
    fs::create_symlink("links/hop", at("db"));
    fs::create_symlink("../store/db", at("links/hop"));
    ASSERT_TRUE(save("db", "first").ok);
    ASSERT_TRUE(save("db", "second").ok);
    EXPECT_TRUE(fs::is_symlink(at("db")));
    EXPECT_TRUE(fs::is_symlink(at("links/hop")));
    EXPECT_EQ(folder.read("store/db"), "second");

    fs::create_symlink("missing/db", at("nowhere"));
    EXPECT_NE(save("nowhere", "x").error.find("No such file"), std::string::npos);
    fs::create_symlink("loop2", at("loop1"));
    fs::create_symlink("loop1", at("loop2"));
    EXPECT_NE(save("loop1", "x").error.find("symbolic links"), std::string::npos);
    EXPECT_EQ(names(), (Names{"db", "links", "loop1", "loop2", "nowhere", "store"}));
}

TEST_F(PosixFilesTest, HardLinksKeepSharingTheFile) {
    folder.write("db", "old");
    fs::create_hard_link(at("db"), at("elsewhere"));
    ASSERT_TRUE(save("db", "a longer new content").ok);
    ASSERT_TRUE(save("db", "short").ok);
    EXPECT_EQ(folder.read("elsewhere"), "short");
    EXPECT_EQ(names(), (Names{"db", "elsewhere"}));
}

// A save keeps the mode, the ACL and every extended attribute, and grants no one more than the
// old file did: with an ACL, the mode's group bits are the ACL's mask (rw- here, for nobody's
// entry), not what the owning group may do (r--). A folder's default ACL, which every new file
// there takes, is not added to a file that had none.
TEST_F(PosixFilesTest, ASaveKeepsModeACLAndAttributes) {
    folder.write("db", "old");
    folder.write("plain", "old");
    ASSERT_TRUE(
        shell("chmod 2640 db && setfacl -m u:nobody:rw db && setfattr -n user.note -v 1 db "
              "&& setfacl -d -m u:nobody:rwx . && chmod 0600 plain"))
        << "needs setfacl and setfattr on a file system with ACLs";
    const std::string list = "getfacl -cp db plain; getfattr -d -m - db plain; stat -c %A db plain";
    ASSERT_TRUE(shell("{ " + list + "; } > before"));
    ASSERT_TRUE(save("db", "new").ok && save("plain", "new").ok);
    ASSERT_TRUE(shell("{ " + list + "; } > after"));
    EXPECT_EQ(folder.read("after"), folder.read("before"));
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

// A file its owner made read-only is not replaced, nor is a file made in a folder they may not
// write; root's file that everyone may write keeps its owner and group when another user saves
// it, and root gives another's file back to its owner.
TEST_F(PosixFilesTest, PermissionsAndOwnersAreKept) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    ASSERT_TRUE(
        shell("chmod 0777 . && echo mine > locked && chmod 0444 locked && mkdir -m 0555 "
              "shut && echo old > db && chmod 0666 db"));
    int failures = as_nobody([&] {
        PosixFiles files(folder.str());
        return (files.replace_file("locked", "theirs").ok ? 1 : 0) |
               (PosixFiles(folder.str() + "/shut").replace_file("db", "x").ok ? 2 : 0) |
               (files.replace_file("db", "saved").ok ? 0 : 4);
    });
    EXPECT_EQ(failures, 0) << "100: cannot become another user";
    EXPECT_EQ(folder.read("locked"), "mine\n");
    EXPECT_EQ(folder.read("db"), "saved");
    EXPECT_EQ(status("db").st_uid, 0u);

    ASSERT_EQ(::chown(at("db").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(save("db", "by root").ok);
    EXPECT_EQ(status("db").st_uid, 65534u);
    EXPECT_EQ(status("db").st_gid, 65534u);
    EXPECT_EQ(names(), (Names{"db", "locked", "shut"}));
}

// A folder others may enter but not read (mode 0711): a name asked for exactly, or in capitals,
// is still found; a search for another letter case fails with the reason.
TEST_F(PosixFilesTest, AFolderTheyMayNotReadIsReportedNotEmpty) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to become another user";
    ASSERT_TRUE(shell("mkdir -m 0711 game && touch game/E1L8.MAP game/E3l1.Map"));
    PosixFiles game(folder.str() + "/game");
    EXPECT_EQ(as_nobody([&] {
                  return (game.real_name("e1l8.map").name != "E1L8.MAP" ? 1 : 0) |
                         (game.real_name("e3l1.map").status != NameOnDisk::Status::Failed ? 2 : 0);
              }),
              0);
    EXPECT_EQ(game.real_name("e3l1.map").name, "E3l1.Map");
}

}  // namespace
}  // namespace dorvane::testing
