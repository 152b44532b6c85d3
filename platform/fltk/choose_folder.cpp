// SPDX-License-Identifier: MIT
#include "platform/fltk/choose_folder.h"

#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Window.H>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace dorvane::fltk {

namespace {

std::string home_folder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

// The XDG base directory rules: a relative or empty XDG_STATE_HOME is ignored.
std::string state_folder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base = state && state[0] == '/' ? state : home_folder() + "/.local/state";
    return base + "/dorvane";
}

bool is_folder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string last_folder() {
    std::ifstream in(state_folder() + "/last-folder");
    std::string line;
    if (std::getline(in, line) && is_folder(line))
        return line;
    return home_folder();
}

// Makes every missing folder of the path, the new ones for the user alone.
void make_folders(const std::string& path) {
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0700);
    mkdir(path.c_str(), 0700);
}

// Replaced whole, so that a crash leaves the old choice or the new one, never a part.
void remember(const std::string& folder) {
    const std::string dir = state_folder();
    make_folders(dir);
    const std::string file = dir + "/last-folder";
    const std::string temporary = file + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << folder << '\n';
        if (!out.flush())
            return;
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0)
        std::remove(temporary.c_str());
}

}  // namespace

std::optional<std::string> choose_game_folder() {
    // FLTK's own chooser, also where FLTK finds GTK: the same on every desktop, and it keeps
    // no settings of its own (GTK's writes its settings file even when cancelled).
    Fl::option(Fl::OPTION_FNFC_USES_GTK, false);
    // The chooser's window is the program's as much as the main window (the desktop entry's
    // StartupWMClass).
    Fl_Window::default_xclass("dorvane");
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
    chooser.title("Dorvane: choose the game's folder");
    const std::string start = last_folder();
    chooser.directory(start.c_str());
    if (chooser.show() != 0 || !chooser.filename() || !is_folder(chooser.filename()))
        return std::nullopt;
    // The chooser may give the folder with a trailing slash.
    std::string folder = chooser.filename();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    remember(folder);
    return folder;
}

}  // namespace dorvane::fltk
