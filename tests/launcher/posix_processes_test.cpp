// SPDX-License-Identifier: MIT
// Starting the game's programs on POSIX systems: the rules that need no X server.
#include "platform/posix/processes.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include "platform/posix/command_line.h"
#include "platform/posix/program_file.h"
#include "support/temp_folder.h"

namespace dorvane::posix {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAtRunsOfBlanksAndKeepsEveryOtherByte) {
    EXPECT_EQ(split_command_line("Build.exe my map.map"), (Args{"Build.exe", "my", "map.map"}));
    EXPECT_EQ(split_command_line("  a\t\tb  "), (Args{"a", "b"}));
    EXPECT_EQ(split_command_line("x \"a b\" c\\\"d $(e);f"),
              (Args{"x", "\"a", "b\"", "c\\\"d", "$(e);f"}));
    EXPECT_EQ(split_command_line(" \t "), Args{});
}

// The header decides, through the new header the file header points to.
TEST(ProgramKind, HeaderDecides) {
    std::string mz(64, '\0');
    mz[0] = 'M';
    mz[1] = 'Z';
    EXPECT_EQ(classify("\x7f"
                       "ELF....",
                       ""),
              ProgramKind::Native);
    EXPECT_EQ(classify("#!/bin/sh", ""), ProgramKind::Native);
    EXPECT_EQ(classify(mz, "LE\0\0"), ProgramKind::Dos);
    EXPECT_EQ(classify(mz, std::string("PE\0\0", 4)), ProgramKind::Windows);
    EXPECT_EQ(classify(mz, "NE"), ProgramKind::Windows);
    EXPECT_EQ(classify(mz, "PE"), ProgramKind::Dos);  // cut short: no Windows header
    testing::TempFolder folder;
    std::string pe(0x200, '\0');
    pe.replace(0, 2, "MZ");
    pe[0x3D] = 0x01;  // at 0x100
    pe.replace(0x100, 4, std::string("PE\0\0", 4));
    folder.write("win.exe", pe);
    folder.write("dos.exe", pe.substr(0, 0x100));
    EXPECT_EQ(classify_file(folder.str() + "/win.exe"), ProgramKind::Windows);
    EXPECT_EQ(classify_file(folder.str() + "/dos.exe"), ProgramKind::Dos);
}

TEST(ProgramFile, FoundInAnyLetterCasePreferringTheExactNameAndHelpersOnThePath) {
    testing::TempFolder folder, other;
    folder.write("build.exe", "");
    EXPECT_EQ(find_in_folder(folder.str(), "Build.exe"), "build.exe");
    folder.write("BUILD.EXE", "");
    EXPECT_EQ(find_in_folder(folder.str(), "Build.exe"), "BUILD.EXE");  // byte order
    EXPECT_EQ(find_in_folder(folder.str(), "build.exe"), "build.exe");
    std::filesystem::create_directory(folder.path() / "setup.exe");
    EXPECT_EQ(find_in_folder(folder.str(), "setup.exe"), std::nullopt);
    EXPECT_EQ(find_in_folder(folder.str(), "../build.exe"), std::nullopt);
    folder.write("dosbox", "");
    other.write("dosbox", "#!/bin/sh\n");
    std::filesystem::permissions(other.path() / "dosbox", std::filesystem::perms::owner_all);
    std::string path = folder.str() + "::" + other.str();
    EXPECT_EQ(find_on_path("dosbox", path.c_str()), other.str() + "/dosbox");  // executable
    EXPECT_EQ(find_on_path("wine", path.c_str()), std::nullopt);
    EXPECT_EQ(find_on_path("dosbox", nullptr), std::nullopt);
}

// The helpers' command lines themselves are checked against the stand-in (process_test.cpp).
TEST(ExecPlan, DosBoxTakesTheFolderSettingsAndNoShellSyntax) {
    EXPECT_FALSE(plan_exec("/g", "D.EXE", ProgramKind::Windows, {"d.exe"}, std::nullopt));
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
}

TEST(DosBoxTitle, NamesTheRunningProgramByItsDosName) {
    EXPECT_EQ(dosbox_running_title("build.exe"), "BUILD");
    EXPECT_EQ(dosbox_running_title("setup"), "SETUP");
    // Names DOS would shorten ("LONGNA~1"): nothing to wait for.
    for (const char* name : {"longname1.exe", "a.exec", "my game.exe", ".exe"})
        EXPECT_EQ(dosbox_running_title(name), "") << name;
    const std::string shell = "DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:";
    EXPECT_TRUE(names_running_program(shell + "    BUILD", "BUILD"));
    EXPECT_FALSE(names_running_program(shell + "   DOSBOX", "BUILD"));
    EXPECT_FALSE(names_running_program(shell + "  BUILD2", "BUILD"));
    EXPECT_FALSE(names_running_program("BUILD", "BUILD"));
}

Child start_shell(const std::string& script) {
    SpawnResult result = spawn_program({"/bin/sh", {"sh", "-c", script}});
    EXPECT_EQ(result.error, 0);
    return *result.child;
}

// Looks at the child as an event loop would, every 10 ms for at most five seconds.
bool ends_within_five_seconds(Child& child) {
    for (int i = 0; i < 500 && child.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !child.running();
}

// A signal's end is no success, though its status reads 0 as an exit code.
TEST(Child, ALookTellsHowItEnded) {
    for (auto [script, ok] : {std::pair{"exit 0", true},
                              {"exit 3", false},
                              {"kill -KILL $$", false},
                              {"kill -TERM $$", false}}) {
        Child child = start_shell(script);
        ASSERT_TRUE(ends_within_five_seconds(child)) << script;
        EXPECT_EQ(child.succeeded(), ok) << script;
    }
    Child sleeper = start_shell("exec sleep 30");
    EXPECT_TRUE(sleeper.running());
    EXPECT_FALSE(sleeper.succeeded());
    kill(sleeper.pid(), SIGTERM);
    ASSERT_TRUE(ends_within_five_seconds(sleeper));
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

}  // namespace
}  // namespace dorvane::posix
