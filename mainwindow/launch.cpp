// SPDX-License-Identifier: MIT
// The main window's launcher handlers: buttons, menu entries and the mascot, each handing the
// record, the slot captions and the platform topics each command uses to the launcher.
#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"

namespace dorvane {

LaunchServices Dorvane::launching() {
    return {services.processes, services.files, services.boxes, services.clock};
}

void Dorvane::Duke3d_Click() {
    run_in_duke3d(state, Option1, launching());
}

void Dorvane::Build_Click() {
    run_in_build(state, Option1, launching());
}

void Dorvane::Setup_Click() {
    run_in_setup(state, Option1, launching());
}

void Dorvane::RID_Click() {
    Duke3d_Click();
}

void Dorvane::RIB_Click() {
    Build_Click();
}

void Dorvane::RIS_Click() {
    Setup_Click();
}

void Dorvane::RD_Click() {
    run_duke3d_without_map(services.processes, services.boxes);
}

void Dorvane::RB_Click() {
    run_build_without_map(services.processes, services.boxes);
}

void Dorvane::RS_Click() {
    run_setup_without_map(services.processes, services.boxes);
}

void Dorvane::Random_Click() {
    std::optional<Picture> frame = random_pick(state, Option1, services.clock, services.boxes,
                                               [this](int k) { choose_slot(k); });
    if (frame)
        Wobbin.picture = *frame;
}

void Dorvane::Wobbin_Click() {
    introduce_mascot(services.boxes);
}

}  // namespace dorvane
