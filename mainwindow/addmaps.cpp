#include "mainwindow/addmaps.h"

#include "mainwindow/dorvane.h"

namespace dorvane {

Addmaps::Addmaps(Dorvane& main) : Form("Addmaps"), main_window(main) {}
Addmaps::~Addmaps() = default;
void Addmaps::Done_Click() {}
void Addmaps::MapFiles_DblClick() {}
void Addmaps::frame_closed() {}

void Dorvane::Addmap_Click() {}

}  // namespace dorvane
