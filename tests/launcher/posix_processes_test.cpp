// SPDX-License-Identifier: MIT
// Starting the game's programs on POSIX systems: the rules that need no X server.
#include "platform/posix/processes.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <tuple>

#include "platform/posix/program_file.h"
#include "support/temp_folder.h"

namespace dorvane::posix {
namespace {

using Args = std::vector<std::string>;

// The header decides, through the new header it points to ("PE" cut short is none).
TEST(ProgramFile, HeaderDecidesAndHelpersAreTheExecutableFilesOnThePath) {
    using enum ProgramKind;
    const std::string mz = "MZ" + std::string(62, '\0'), pe("PE\0\0", 4);
    const std::tuple<std::string, std::string, ProgramKind> cases[] = {
        {"\177ELF....", "", Native}, {"#!/bin/sh", "", Native}, {mz, "LE", Dos},
        {mz, pe, Windows},           {mz, "NE", Windows},       {mz, "PE", Dos}};
    for (const auto& [head, new_header, kind] : cases)
        EXPECT_EQ(classify(head, new_header), kind) << head << new_header;
    testing::TempFolder folder;
    const std::string file = "MZ" + std::string(0x3B, '\0') + '\1' + std::string(0xC2, '\0') + pe;
    folder.write("win.exe", file);
    folder.write("dos.exe", file.substr(0, 0x100));
    EXPECT_EQ(classify_file(folder.str() + "/win.exe"), Windows);
    EXPECT_EQ(classify_file(folder.str() + "/dos.exe"), Dos);
    testing::TempFolder other;  // helpers: the first executable file of the name on the path
    folder.write("dosbox", "");
    other.write("dosbox", "#!/bin/sh\n");
    std::filesystem::permissions(other.path() / "dosbox", std::filesystem::perms::owner_all);
    std::string path = folder.str() + "::" + other.str();
    EXPECT_EQ(find_on_path("dosbox", path.c_str()), other.str() + "/dosbox");  // executable
    EXPECT_EQ(find_on_path("wine", path.c_str()), std::nullopt);
    EXPECT_EQ(find_on_path("dosbox", nullptr), std::nullopt);
}

// Wine gets the file on disk by its path; DOSBox the folder, the full screen unless the folder's
// settings say otherwise, and no shell syntax.
TEST(ExecPlan, HelpersGetTheProgramAndNoShellSyntax) {
    EXPECT_FALSE(plan_exec("/g", "D.EXE", ProgramKind::Windows, {"d.exe"}, std::nullopt));
    EXPECT_EQ(plan_exec("/g", "B.EXE", ProgramKind::Windows, {"b.exe", "m.map"}, "/w").value().argv,
              (Args{"/w", "/g/B.EXE", "m.map"}));
    Args session{"/d",           "-noautoexec", "-c",  "mount c \"/g\"", "-c", "c:", "-c",
                 "D.EXE -map m", "-c",          "exit"};
    for (DosScreen screen : {DosScreen::AsConfigured, DosScreen::FullScreen}) {
        auto plan =
            plan_exec("/g", "D.EXE", ProgramKind::Dos, {"d.exe", "-map", "m"}, "/d", screen);
        EXPECT_EQ(plan.value().argv, session);
        session.insert(session.begin() + 1, "-fullscreen");
    }
    for (const char* bad : {"a>b.map", "a<b", "a|b", "a\"b", "a\rb"})
        EXPECT_FALSE(plan_exec("/g", "D.EXE", ProgramKind::Dos, {"d.exe", bad}, "/d")) << bad;
    EXPECT_FALSE(plan_exec("/g\"", "D.EXE", ProgramKind::Dos, {"d.exe"}, "/d"));
}

// Names DOS would shorten ("LONGNA~1") have nothing to wait for.
TEST(DosBoxTitle, NamesTheRunningProgramByItsDosName) {
    const std::pair<const char*, const char*> titles[] = {
        {"build.exe", "BUILD"}, {"setup", "SETUP"},  {"longname1.exe", ""},
        {"a.exec", ""},         {"my game.exe", ""}, {".exe", ""}};
    for (auto [name, title] : titles)
        EXPECT_EQ(dosbox_running_title(name), title) << name;
    const std::string shell = "DOSBox 0.74-3, Cpu speed:     3000 cycles, Frameskip  0, Program:";
    EXPECT_TRUE(names_running_program(shell + "    BUILD", "BUILD"));
    for (const std::string& other : {shell + "   DOSBOX", shell + "  BUILD2", std::string("BUILD")})
        EXPECT_FALSE(names_running_program(other, "BUILD")) << other;
}

// As an event loop would look.
bool ends_within_five_seconds(Child& child) {
    for (int i = 0; i < 500 && child.running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return !child.running();
}
Child shell(const char* script) {
    return *spawn_program({"/bin/sh", {"sh", "-c", script}}).child;
}

// A signal's end is no success, though its status reads 0 as an exit code. In a process that
// ignores SIGCHLD the system reaps children itself: a child still counts as running while it
// runs, and as ended, well, once it is gone.
TEST(Child, ALookTellsHowItEndedEvenReapedBySomeoneElse) {
    for (auto [script, ok] :
         {std::pair{"exit 0", true}, {"kill -KILL $$", false}, {"kill -TERM $$", false}}) {
        Child child = shell(script);
        ASSERT_TRUE(ends_within_five_seconds(child)) << script;
        EXPECT_EQ(child.succeeded(), ok) << script;
    }
    EXPECT_EXIT(
        {
            signal(SIGCHLD, SIG_IGN);
            Child sleeper = shell("exec sleep 30");
            Child quick = shell("exit 3");
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
