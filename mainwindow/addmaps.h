// SPDX-License-Identifier: MIT
// The map file picker: a small modeless window that lists the map files of the current folder
// and puts the chosen one, lower-cased, into the slot that is current in the main window when
// the choice is made. Ok and a double-click do the same; both hide the picker, which keeps its
// list and selection. Closing it through its frame retires it: the backend drops its widgets at
// once, and the main window replaces it with a fresh picker at the next Add Map.
#pragma once

#include <string>

#include "platform/form.h"

namespace dorvane {

class Dorvane;

class Addmaps : public Form {
  public:
    explicit Addmaps(Dorvane& main);
    ~Addmaps() override;

    Control MapFiles, Done;

    // Reads the folder's map files afresh, keeping the selected name selected while it is still
    // listed.
    void refresh_list();

    void Done_Click();
    void MapFiles_DblClick();
    void frame_closed() override;

    // Set once the frame was closed; the object waits for the main window to replace it, so that
    // it never ends while one of its own handlers or the backend's routing still uses it.
    bool closed = false;
    Dorvane& main_window;
};

// The name as the catalogue stores it: ASCII letters lower-cased, every other byte kept, so
// that names in multi-byte encodings stay intact.
std::string catalogue_name(std::string name);

}  // namespace dorvane
