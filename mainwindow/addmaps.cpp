// SPDX-License-Identifier: MIT
#include "mainwindow/addmaps.h"

#include <algorithm>

#include "catalogue/database.h"
#include "mainwindow/dorvane.h"
#include "platform/ascii.h"

namespace dorvane {

std::string catalogue_name(std::string name) {
    return ascii_lower(std::move(name));
}

Addmaps::Addmaps(Dorvane& main) : Form("Addmaps"), main_window(main) {
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
    main_window.services.form_created(*this);
}

Addmaps::~Addmaps() {
    if (!closed)
        main_window.services.form_destroyed(*this);
}

void Addmaps::refresh_list() {
    std::string selected = MapFiles.selected_item();
    MapFiles.items = main_window.services.list_files("*.map", Hidden::LeftOut);
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
        main_window.services.message_box(
            "The map file " + listed +
                " cannot be added to the catalogue: its name contains a double quote or a line "
                "break, or is too long, and the database file could not hold it. Rename the "
                "file and choose it again.",
            "Add Map", Buttons::Ok);
        return;
    }
    State& state = main_window.state;
    int slot = slot_or_zero(state.map);
    main_window.Option1[slot].caption = name;
    state.t_mapnum = slot;
    state.t_mapname = name;
    main_window.savemaps();
    visible = false;
}

void Addmaps::MapFiles_DblClick() {
    Done_Click();
}

void Addmaps::frame_closed() {
    main_window.services.form_destroyed(*this);
    closed = true;
    visible = false;
}

void Dorvane::Addmap_Click() {
    if (addmaps && addmaps->closed)
        addmaps.reset();
    if (!addmaps)
        addmaps = std::make_unique<Addmaps>(*this);
    // An open picker is left exactly as it is.
    if (addmaps->visible)
        return;
    addmaps->refresh_list();
    addmaps->visible = true;
}

}  // namespace dorvane
