// SPDX-License-Identifier: MIT
// Starting the game's programs on POSIX systems: what needs no X server.
#include "platform/posix/processes.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "platform/posix/command_line.h"
#include "platform/posix/program_file.h"
#include "support/temp_folder.h"

namespace dorvane::posix {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAtRunsOfBlanksAndKeepsEveryOtherByte) {
    EXPECT_EQ(split_command_line("duke3d.exe -map e1l8.map"),
              (Args{"duke3d.exe", "-map", "e1l8.map"}));
    EXPECT_EQ(split_command_line("Build.exe my map.map"), (Args{"Build.exe", "my", "map.map"}));
    EXPECT_EQ(split_command_line("  a\t\tb  "), (Args{"a", "b"}));
    EXPECT_EQ(split_command_line("x \"a b\" c\\\"d $(e);f"),
              (Args{"x", "\"a", "b\"", "c\\\"d", "$(e);f"}));
    EXPECT_EQ(split_command_line(""), Args{});
    EXPECT_EQ(split_command_line(" \t "), Args{});
}

std::string mz(std::string new_header) {
    std::string head(64, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    return head + new_header;
}

TEST(ProgramKind, HeaderDecides) {
    EXPECT_EQ(classify("\x7f"
                       "ELF....",
                       ""),
              ProgramKind::Native);
    EXPECT_EQ(classify("#!/bin/sh", ""), ProgramKind::Native);
    EXPECT_EQ(classify(mz(""), ""), ProgramKind::Dos);
    EXPECT_EQ(classify(mz(""), "LE\0\0"), ProgramKind::Dos);
    EXPECT_EQ(classify(mz(""), std::string("PE\0\0", 4)), ProgramKind::Windows);
    EXPECT_EQ(classify(mz(""), "NE"), ProgramKind::Windows);
    EXPECT_EQ(classify(mz(""), "PE"), ProgramKind::Dos);  // cut short: no Windows header
}

TEST(ProgramKind, FileHeaderPointsToTheWindowsHeader) {
    testing::TempFolder folder;
    std::string pe(0x200, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[0x3C] = 0x00;
    pe[0x3D] = 0x01;  // at 0x100
    pe.replace(0x100, 4, std::string("PE\0\0", 4));
    folder.write("win.exe", pe);
    folder.write("dos.exe", pe.substr(0, 0x100));
    EXPECT_EQ(classify_file(folder.str() + "/win.exe"), ProgramKind::Windows);
    EXPECT_EQ(classify_file(folder.str() + "/dos.exe"), ProgramKind::Dos);
    EXPECT_EQ(classify_file(folder.str() + "/missing"), ProgramKind::Native);
}

TEST(ProgramFile, FoundInAnyLetterCasePreferringTheExactName) {
    testing::TempFolder folder;
    folder.write("build.exe", "");
    EXPECT_EQ(find_in_folder(folder.str(), "Build.exe"), "build.exe");
    folder.write("BUILD.EXE", "");
    EXPECT_EQ(find_in_folder(folder.str(), "Build.exe"), "BUILD.EXE");  // byte order
    EXPECT_EQ(find_in_folder(folder.str(), "build.exe"), "build.exe");
    std::filesystem::create_directory(folder.path() / "setup.exe");
    EXPECT_EQ(find_in_folder(folder.str(), "setup.exe"), std::nullopt);
    EXPECT_EQ(find_in_folder(folder.str(), "../build.exe"), std::nullopt);
    EXPECT_EQ(find_in_folder(folder.str(), ""), std::nullopt);
}

TEST(ProgramFile, HelperComesFromThePathOnlyWhenExecutable) {
    testing::TempFolder a, b;
    a.write("dosbox", "");
    b.write("dosbox", "#!/bin/sh\n");
    std::filesystem::permissions(b.path() / "dosbox", std::filesystem::perms::owner_all);
    std::string path = a.str() + "::" + b.str();
    EXPECT_EQ(find_on_path("dosbox", path.c_str()), b.str() + "/dosbox");
    EXPECT_EQ(find_on_path("wine", path.c_str()), std::nullopt);
    EXPECT_EQ(find_on_path("dosbox", nullptr), std::nullopt);
}

TEST(ExecPlan, EachKindRunsItsOwnWay) {
    Args args{"duke3d.exe", "-map", "e1l8.map"};
    auto native = plan_exec("/g", "DUKE3D.EXE", ProgramKind::Native, args, std::nullopt);
    ASSERT_TRUE(native);
    EXPECT_EQ(native->path, "/g/DUKE3D.EXE");
    EXPECT_EQ(native->argv, args);

    EXPECT_FALSE(plan_exec("/g", "DUKE3D.EXE", ProgramKind::Dos, args, std::nullopt));
    EXPECT_FALSE(plan_exec("/g", "DUKE3D.EXE", ProgramKind::Windows, args, std::nullopt));

    auto windows = plan_exec("/g", "DUKE3D.EXE", ProgramKind::Windows, args, "/bin/wine");
    ASSERT_TRUE(windows);
    EXPECT_EQ(windows->argv, (Args{"/bin/wine", "/g/DUKE3D.EXE", "-map", "e1l8.map"}));

    auto dos = plan_exec("/my games/duke", "DUKE3D.EXE", ProgramKind::Dos, args, "/bin/dosbox");
    ASSERT_TRUE(dos);
    EXPECT_EQ(dos->path, "/bin/dosbox");
    EXPECT_EQ(dos->argv,
              (Args{"/bin/dosbox", "-fullscreen", "-noautoexec", "-c", "mount c \"/my games/duke\"",
                    "-c", "c:", "-c", "DUKE3D.EXE -map e1l8.map", "-c", "exit"}));
    // With a dosbox.conf of its own, the game folder's settings choose window or full screen.
    auto configured = plan_exec("/g", "D.EXE", ProgramKind::Dos, {"d.exe"}, "/bin/dosbox",
                                DosScreen::AsConfigured);
    ASSERT_TRUE(configured);
    EXPECT_EQ(configured->argv, (Args{"/bin/dosbox", "-noautoexec", "-c", "mount c \"/g\"", "-c",
                                      "c:", "-c", "D.EXE", "-c", "exit"}));
    for (const char* bad : {"a>b.map", "a<b", "a|b", "a\"b", "a\rb"}) {
        EXPECT_FALSE(plan_exec("/g", "D.EXE", ProgramKind::Dos, {"d.exe", bad}, "/bin/dosbox"))
            << bad;
    }
    EXPECT_FALSE(plan_exec("/g\"", "D.EXE", ProgramKind::Dos, {"d.exe"}, "/bin/dosbox"));
    EXPECT_FALSE(plan_exec("/g", "D.EXE", ProgramKind::Native, {}, std::nullopt));
}

TEST(DosBoxTitle, NamesTheRunningProgramByItsDosName) {
    EXPECT_EQ(dosbox_running_title("build.exe"), "BUILD");
    EXPECT_EQ(dosbox_running_title("DUKE3D.EXE"), "DUKE3D");
    EXPECT_EQ(dosbox_running_title("setup"), "SETUP");
    // Names DOS would shorten ("LONGNA~1"): nothing to wait for.
    EXPECT_EQ(dosbox_running_title("longname1.exe"), "");
    EXPECT_EQ(dosbox_running_title("a.exec"), "");
    EXPECT_EQ(dosbox_running_title("my game.exe"), "");
    EXPECT_EQ(dosbox_running_title(".exe"), "");

    const std::string shell = "DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:";
    EXPECT_TRUE(names_running_program(shell + "    BUILD", "BUILD"));
    EXPECT_FALSE(names_running_program(shell + "   DOSBOX", "BUILD"));
    EXPECT_FALSE(names_running_program(shell + "  BUILD2", "BUILD"));
    EXPECT_FALSE(names_running_program("BUILD", "BUILD"));
    EXPECT_FALSE(names_running_program("", "BUILD"));
}

// Whether /proc still lists the process, a zombie included.
bool listed(pid_t pid) {
    return std::filesystem::exists("/proc/" + std::to_string(pid));
}

Child start_shell(const std::string& script) {
    SpawnResult result = spawn_program({"/bin/sh", {"sh", "-c", script}});
    EXPECT_EQ(result.error, 0);
    return *result.child;
}

// Looks at the child as an event loop would, every 10 ms for at most five seconds.
bool ends_within_five_seconds(Child& child) {
    for (int i = 0; i < 500; ++i) {
        if (!child.running())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Child, ALookReapsItOnceEndedAndTellsHowItEnded) {
    Child good = start_shell("exit 0");
    Child bad = start_shell("exit 3");
    Child killed = start_shell("kill -KILL $$");
    Child sleeper = start_shell("exec sleep 30");
    for (Child* child : {&good, &bad, &killed}) {
        ASSERT_TRUE(ends_within_five_seconds(*child)) << child->pid();
        EXPECT_FALSE(listed(child->pid())) << child->pid() << " left as a zombie";
        EXPECT_FALSE(child->running());  // and stays ended
    }
    EXPECT_TRUE(good.succeeded());
    EXPECT_FALSE(bad.succeeded());
    EXPECT_FALSE(killed.succeeded());
    EXPECT_TRUE(sleeper.running());
    EXPECT_FALSE(sleeper.succeeded());
    kill(sleeper.pid(), SIGTERM);
    ASSERT_TRUE(ends_within_five_seconds(sleeper));
    EXPECT_FALSE(sleeper.succeeded());
    EXPECT_FALSE(listed(sleeper.pid()));
}

// In a process that ignores SIGCHLD the system reaps children itself: a child still counts as
// running while it runs, and as ended, well, once it is gone.
TEST(Child, ReapedBySomeoneElseItEndsOnceGone) {
    EXPECT_EXIT(
        {
            signal(SIGCHLD, SIG_IGN);
            Child sleeper = start_shell("exec sleep 30");
            Child quick = start_shell("exit 3");
            bool ended = ends_within_five_seconds(quick);
            bool sleeping = sleeper.running();
            kill(sleeper.pid(), SIGKILL);
            bool killed = ends_within_five_seconds(sleeper);
            std::exit(ended && quick.succeeded() && sleeping && killed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Child, AProgramThatCannotBeExecutedIsKnownAtOnce) {
    SpawnResult missing = spawn_program({"/nonexistent/duke3d", {"duke3d"}});
    EXPECT_FALSE(missing.child);
    EXPECT_EQ(missing.error, ENOENT);
}

TEST(ChildEnds, ThePipeTellsOfAnEndThatNobodyWaitedFor) {
    int fd = watch_child_ends();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(watch_child_ends(), fd);  // installed once
    take_child_ends(fd);
    Child child = start_shell("exit 0");
    pollfd ready{fd, POLLIN, 0};
    int r;
    do {
        r = poll(&ready, 1, 5000);  // the signal itself may break the wait
    } while (r < 0 && errno == EINTR);
    ASSERT_EQ(r, 1) << "no word of the child's end";
    EXPECT_TRUE(take_child_ends(fd));
    EXPECT_FALSE(take_child_ends(fd));  // taken off
    // What the event loop does on the word: one look, and the zombie is gone.
    EXPECT_FALSE(child.running());
    EXPECT_TRUE(child.succeeded());
    EXPECT_FALSE(listed(child.pid()));
}

}  // namespace
}  // namespace dorvane::posix
