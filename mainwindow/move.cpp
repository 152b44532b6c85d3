#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Moveme_Click() {}
void Dorvane::Towhere_Click() {}

}  // namespace dorvane
