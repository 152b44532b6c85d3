#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::sort_Click() {}

}  // namespace dorvane
