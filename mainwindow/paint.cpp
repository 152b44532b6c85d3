#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Form_Paint(Canvas&) {}

}  // namespace dorvane
