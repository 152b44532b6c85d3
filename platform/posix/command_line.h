// SPDX-License-Identifier: MIT
// Turning a launcher command line into the program to run and its arguments, the way the game's
// own platform would: blanks (spaces and tabs) separate arguments, a run of blanks counts as
// one, and every other byte, quotes and backslashes included, is part of an argument. The
// launcher never quotes, so a map name with a blank arrives as two arguments there too. Nothing
// here goes near a shell.
#pragma once

#include <string>
#include <vector>

namespace dorvane::posix {

std::vector<std::string> split_command_line(const std::string& command_line);

}  // namespace dorvane::posix
