// SPDX-License-Identifier: MIT
#include "platform/start_options.h"

namespace dorvane {

StartOptions parse_start_options(const std::vector<std::string>& words) {
    StartOptions result;
    bool options_ended = false;
    bool have_folder = false;
    auto refuse = [&result](std::string problem) {
        result.action = StartOptions::Action::Refuse;
        result.problem = std::move(problem);
        return result;
    };
    for (const std::string& word : words) {
        if (!options_ended && word == "--") {
            options_ended = true;
        } else if (!options_ended && (word == "--help" || word == "-h")) {
            return StartOptions{.action = StartOptions::Action::Help};
        } else if (!options_ended && word == "--version") {
            return StartOptions{.action = StartOptions::Action::Version};
        } else if (!options_ended && word == "--choose-folder") {
            result.action = StartOptions::Action::ChooseFolder;
        } else if (!options_ended && word.size() > 1 && word[0] == '-') {
            return refuse("unknown option " + word);
        } else if (have_folder || word.empty()) {
            return refuse(word.empty() ? "an empty folder name" : "more than one folder given");
        } else {
            have_folder = true;
            result.folder = word;
        }
    }
    if (have_folder && result.action == StartOptions::Action::ChooseFolder)
        return refuse("give a folder or --choose-folder, not both");
    return result;
}

std::string usage_text(const std::string& program) {
    return "Usage: " + program +
           " [GAME_FOLDER]\n"
           "       " +
           program +
           " --choose-folder\n"
           "Keeps a catalogue of Duke Nukem 3D maps (Qimdat.dat) in the game's folder and starts\n"
           "the game, its map editor or its setup program with the chosen map.\n"
           "\n"
           "  GAME_FOLDER      the game's folder (default: the current folder)\n"
           "  --choose-folder  ask for the game's folder, starting at the one chosen last\n"
           "  --help           show this text and end\n"
           "  --version        show the version and end\n";
}

std::string version_text() {
    return "Dorvane " DORVANE_VERSION "\n";
}

}  // namespace dorvane
