#include "about/aboutqim.h"

#include "mainwindow/dorvane.h"

namespace dorvane {

Aboutqim::Aboutqim(Dorvane& main) : Form("Aboutqim"), main_window(main) {}
Aboutqim::~Aboutqim() = default;
void Aboutqim::frame_closed() {}

void Dorvane::About_Click() {}

}  // namespace dorvane
