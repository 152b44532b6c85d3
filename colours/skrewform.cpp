#include "colours/skrewform.h"

#include "mainwindow/dorvane.h"

namespace dorvane {

skrewform::skrewform(Dorvane& main) : Form("skrewform"), main_window(main) {}
skrewform::~skrewform() = default;
void skrewform::frame_closed() {}

void Dorvane::cc_Click() {}

}  // namespace dorvane
