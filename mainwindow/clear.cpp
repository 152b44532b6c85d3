#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Clear_Click() {}
void Dorvane::clearmaps_Click() {}

}  // namespace dorvane
