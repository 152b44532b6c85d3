// SPDX-License-Identifier: MIT
// The parts of the X11 process services that need no X server.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/x11/command_line.h"
#include "platform/x11/program_file.h"
#include "support/temp_folder.h"

namespace dorvane::x11 {
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

}  // namespace
}  // namespace dorvane::x11
