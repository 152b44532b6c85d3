#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Random_Click() {}
void Dorvane::Wobbin_Click() {}

}  // namespace dorvane
