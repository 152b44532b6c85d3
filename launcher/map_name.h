// SPDX-License-Identifier: MIT
// Which name to give the game's programs for a catalogued map.
//
// The catalogue keeps map names lower-cased, while a case-sensitive file system may hold the file
// as "E1L8.MAP"; passed as stored, such a map would never reach the game. The name passed is the
// stored one whenever a file has exactly that name (or none has it in any letter case), and the
// file's real name when exactly one file has it in another letter case. With several such files
// nothing says which one the user meant, so the stored name goes out unchanged.
#pragma once

#include <string>
#include <vector>

namespace dorvane {

std::string name_on_disk(const std::string& stored, const std::vector<std::string>& files);

}  // namespace dorvane
