// SPDX-License-Identifier: MIT
// Finding the program a command line names and deciding how to run it.
//
// The launcher names its programs without a folder; they are looked for in the current folder
// only, without regard to letter case, because the game's files come from a system where
// "Build.exe" and "build.exe" are one file. The first bytes of the file decide how it runs: a
// DOS program (an "MZ" header with no Windows header behind it, or with a DOS extender's "LE" or
// "LX") inside dosbox, a Windows program ("PE" or "NE") through wine, anything else directly.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane::posix {

enum class ProgramKind { Native, Dos, Windows };

// What to execute and with which arguments.
struct ExecPlan {
    std::string path;
    std::vector<std::string> argv;
};

// The regular file in `folder` named `name` in any letter case, by the one rule of real_name_in:
// the exact name when it exists, otherwise the first in byte order of those that differ only in
// case. Names with a '/' are not looked up.
std::optional<std::string> find_in_folder(const std::string& folder, const std::string& name);

// `head` is the file's start; `new_header` the bytes at the offset the DOS header points to.
ProgramKind classify(std::string_view head, std::string_view new_header);
ProgramKind classify_file(const std::string& path);

// The executable regular file `name` in one of the folders of `search_path` (a PATH value).
std::optional<std::string> find_on_path(const std::string& name, const char* search_path);

// What DOSBox's title names while the DOS program `file_name` runs ("Program:    BUILD"): its
// name without the extension, in capitals. Empty for a name that is no DOS name as it stands
// (DOS would shorten it).
std::string dosbox_running_title(const std::string& file_name);
// Whether DOSBox's title `title` says the program `name` (as above) runs.
bool names_running_program(const std::string& title, const std::string& name);

// How a DOS program's DOSBox shows: in DOSBox's full screen (its window has a fixed size that no
// window manager can maximise), or as DOSBox's configuration says.
enum class DosScreen { FullScreen, AsConfigured };

// How to run program `file_name` of `folder` (absolute) with `args` (args[0] is the name as the
// command line gave it). `helper` is dosbox for a DOS program, wine for a Windows one. nullopt:
// it cannot run here (no helper; or a DOS command line that dosbox's own shell would read as
// redirection, which must not happen to a map name).
std::optional<ExecPlan> plan_exec(const std::string& folder, const std::string& file_name,
                                  ProgramKind kind, const std::vector<std::string>& args,
                                  const std::optional<std::string>& helper,
                                  DosScreen screen = DosScreen::FullScreen);

}  // namespace dorvane::posix
