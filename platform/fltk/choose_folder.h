// SPDX-License-Identifier: MIT
// The folder chooser of `dorvane --choose-folder` (what the desktop's menu entry runs): asks for
// the game's folder, opening at the one chosen last, which is kept in
// $XDG_STATE_HOME/dorvane/last-folder (~/.local/state/dorvane/last-folder by default).
//
// The display must be open. The chooser is FLTK's own. A folder chosen is written to the state
// file before it is returned; a cancelled chooser writes nothing.
#pragma once

#include <optional>
#include <string>

namespace dorvane::fltk {

std::optional<std::string> choose_game_folder();

}  // namespace dorvane::fltk
