// SPDX-License-Identifier: MIT
// The map file picker: a small modeless window that lists the map files of the current folder
// and puts the chosen one, lower-cased, into the slot that is current (the record's `map`) when
// the choice is made. It fills the record's hand-over values and leaves showing the name in the
// slot and saving to the callback it is given. Ok and a double-click do the same; both hide the
// picker, which keeps its list and selection. Closing it through its frame hides and retires
// it, and whoever made it frees it through `release`; the next Add Map makes a fresh one.
#pragma once

#include <functional>
#include <string>

#include "catalogue/state.h"
#include "platform/file_service.h"
#include "platform/form.h"
#include "platform/message_box_service.h"
#include "platform/window_service.h"

namespace dorvane {

class Addmaps : public Form {
  public:
    // Shows `name` as slot `slot`'s caption and saves the hand-over values into the slot table
    // and the database (what savemaps does).
    using PutInSlot = std::function<void(int slot, const std::string& name)>;

    Addmaps(State& state, WindowService& windows, FileService& files, MessageBoxService& boxes,
            PutInSlot put_in_slot);
    ~Addmaps() override;

    Control MapFiles, Done;

    // Reads the folder's map files afresh, keeping the selected name selected while it is still
    // listed.
    void refresh_list();

    void Done_Click();
    void MapFiles_DblClick();
    void frame_closed() override;

    State& state;
    WindowService& windows;
    FileService& files;
    MessageBoxService& boxes;

  private:
    PutInSlot put_in_slot_;
};

// The name as the catalogue stores it: ASCII letters lower-cased, every other byte kept, so
// that names in multi-byte encodings stay intact.
std::string catalogue_name(std::string name);

}  // namespace dorvane
