// SPDX-License-Identifier: MIT
#include "mainwindow/addmaps.h"

#include <algorithm>

#include "catalogue/database.h"
#include "platform/ascii.h"

namespace dorvane {

std::string catalogue_name(std::string name) {
    return ascii_lower(std::move(name));
}

Addmaps::Addmaps(State& state_, WindowService& windows_, FileService& files_,
                 MessageBoxService& boxes_, PutInSlot put_in_slot)
    : Form("Addmaps"),
      state(state_),
      windows(windows_),
      files(files_),
      boxes(boxes_),
      put_in_slot_(std::move(put_in_slot)) {
    caption = "Add Map";
    client_width = 3600;
    client_height = 3690;
    modeless = true;

    MapFiles.name = "MapFiles";
    MapFiles.kind = ControlKind::FileList;
    MapFiles.place = {120, 120, 3375, 2820};
    MapFiles.focus_place = 0;
    MapFiles.dbl_click = [this] { MapFiles_DblClick(); };

    Done.name = "Done";
    Done.kind = ControlKind::CommandButton;
    Done.caption = "Ok";
    Done.place = {120, 3000, 3375, 615};
    Done.focus_place = 1;
    Done.click = [this] { Done_Click(); };

    // The list comes first so that it has the focus when the picker opens.
    controls = {&MapFiles, &Done};
}

Addmaps::~Addmaps() {
    windows.form_destroyed(*this);
}

void Addmaps::refresh_list() {
    std::string selected = MapFiles.selected_item();
    FileListing listing = files.list_files("*.map", Hidden::LeftOut);
    // A folder that cannot be read is no folder without maps: the user is told, and the picker
    // opens with an empty list all the same.
    if (!listing.ok)
        boxes.message_box(
            "Dorvane could not list the map files of its folder (" + listing.error +
                "), so the list of maps is empty. Close the Add Map window and press Add Map "
                "again to read the folder once more.",
            "Add Map", Buttons::Ok);
    MapFiles.items = std::move(listing.names);
    auto found = std::find(MapFiles.items.begin(), MapFiles.items.end(), selected);
    MapFiles.list_index = selected.empty() || found == MapFiles.items.end()
                              ? -1
                              : static_cast<int>(found - MapFiles.items.begin());
}

void Addmaps::Done_Click() {
    std::string listed = MapFiles.selected_item();
    std::string name = catalogue_name(listed);
    // Such a name would break the database file's lines or quotes; the picker stays open so
    // that another file can be chosen.
    if (!storable_name(name)) {
        boxes.message_box(
            "The map file " + listed +
                " cannot be added to the catalogue: its name contains a double quote or a line "
                "break, or is too long, and the database file could not hold it. Rename the "
                "file and choose it again.",
            "Add Map", Buttons::Ok);
        return;
    }
    int slot = slot_or_zero(state.map);
    state.t_mapnum = slot;
    state.t_mapname = name;
    put_in_slot_(slot, name);
    visible = false;
}

void Addmaps::MapFiles_DblClick() {
    Done_Click();
}

void Addmaps::frame_closed() {
    visible = false;
    retired = true;
}

}  // namespace dorvane
