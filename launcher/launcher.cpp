#include "mainwindow/dorvane.h"

namespace dorvane {

void Dorvane::Duke3d_Click() {}
void Dorvane::Build_Click() {}
void Dorvane::Setup_Click() {}
void Dorvane::RID_Click() {
    Duke3d_Click();
}
void Dorvane::RIB_Click() {
    Build_Click();
}
void Dorvane::RIS_Click() {
    Setup_Click();
}
void Dorvane::RD_Click() {}
void Dorvane::RB_Click() {}
void Dorvane::RS_Click() {}

}  // namespace dorvane
