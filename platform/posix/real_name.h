// SPDX-License-Identifier: MIT
// The name a file has on disk when it is asked for in another letter case.
//
// The catalogue keeps map names lower-cased and the game's programs are named in whatever case
// the command lines give them, while a case-sensitive file system may hold "E1L8.MAP" or
// "BUILD.EXE". The rule is CaseBlindMatch's: the exact name when such a regular file exists;
// otherwise the first in byte order of the regular files whose names differ only in letter case.
// The exact name and the all-capitals one (which comes first in byte order whenever it exists)
// are found without reading the folder; any other takes one read of it.
#pragma once

#include <string>

#include "platform/file_service.h"

namespace dorvane {

// `name` is a bare file name of `folder`. None: no regular file of that name in any letter case,
// or `name` is no bare file name (empty, ".", "..", a '/'). Failed: the folder had to be read
// and could not be, with the system's reason.
NameOnDisk real_name_in(const std::string& folder, const std::string& name);

}  // namespace dorvane
