// SPDX-License-Identifier: MIT
// The program's command line, shared by the Linux and the Windows program:
//
//   dorvane [GAME_FOLDER]     runs in that folder (none: in the current folder)
//   dorvane --choose-folder   asks for the game's folder first (where the system has a chooser)
//   dorvane --help | --version
//
// parse_start_options only reads the words; whether the folder exists, and going there, is the
// caller's. "--" ends the options, so that a folder whose name begins with "-" can be given.
#pragma once

#include <string>
#include <vector>

namespace dorvane {

struct StartOptions {
    enum class Action { Run, ChooseFolder, Help, Version, Refuse };
    Action action = Action::Run;
    std::string folder;   // Run: the game's folder, empty for the current one
    std::string problem;  // Refuse: what is wrong with the command line
};

// The words after the program's name.
StartOptions parse_start_options(const std::vector<std::string>& words);

// What --help and --version print, each ending in a newline.
std::string usage_text(const std::string& program);
std::string version_text();

// Exit status of a command line refused (and of a folder that cannot be entered).
constexpr int kUsageStatus = 2;

}  // namespace dorvane
