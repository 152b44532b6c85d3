// SPDX-License-Identifier: MIT
// The six launcher commands: the game, the editor and the setup program, each with the current
// slot's map or without a map. Every failure after the slot check ends in the one "Error!"
// message; nothing that already happened is undone.
#include <cmath>
#include <limits>
#include <string>

#include "mainwindow/dorvane.h"

namespace dorvane {

namespace {

constexpr const char* kFailurePrompt = "Make sure you have Dorvane in your Duke3d directory";
constexpr double kEditorWait = 2.0;
constexpr double kPollInterval = 0.01;
// The most the editor wait may sleep in all: ends the wait when the clock is set back or stalls.
constexpr double kWaitCeiling = 3.0;
constexpr double kDay = 86400.0;

enum class Outcome { Started, SlotFree, Failed };

void report_failure(Services& services) {
    services.message_box(kFailurePrompt, "Error!", Buttons::Ok);
}

// The caption of slot `map` (an empty `map` counts as slot 0); nullptr when `map` names no slot.
const std::string* current_map_name(const Dorvane& window) {
    int k = slot_or_zero(window.state.map);
    if (k < 0 || k >= kSlots)
        return nullptr;
    return &window.Option1[k].caption;
}

// The activation may go on after the command returned (see platform/launch.h); a program that
// then ends with an error before its window shows gets the same message, later.
bool start_in_front(Services& services, const std::string& command_line) {
    std::optional<TaskId> task = services.start_program(command_line);
    if (!task)
        return false;
    services.on_late_failure([&services] { report_failure(services); });
    return services.activate(*task);
}

Outcome run_with_map(Dorvane& window, const std::string& program_part) {
    const std::string* name = current_map_name(window);
    if (!name)
        return Outcome::Failed;
    if (name->empty()) {
        window.services.message_box("Put a map in the slot first.", "Duh!", Buttons::Ok);
        return Outcome::SlotFree;
    }
    // The catalogue keeps names lower-cased; a case-sensitive file system may hold the map as
    // "E1L8.MAP", and only that name reaches it. A map that is not there, or in a folder that
    // cannot be searched, goes out as stored, and the program started says what it makes of it.
    NameOnDisk on_disk = window.services.real_name(*name);
    const std::string& map_name =
        on_disk.status == NameOnDisk::Status::Found ? on_disk.name : *name;
    return start_in_front(window.services, program_part + map_name) ? Outcome::Started
                                                                    : Outcome::Failed;
}

// Gives the editor two seconds to come up, holding the window without taking any event. The
// clock restarts at midnight, hence the wrap. It is single precision, which late in the day
// resolves only about 8 ms: a reading may lie up to one step off, so the wait asks for two
// steps more, or the key could go out before the two seconds are up. And since the sleeps
// take at least as long as they ask, their sum bounds the wait when the clock is set back or
// stands still.
void wait_for_editor(Services& services) {
    const float t0 = services.seconds_since_midnight();
    const double resolution = std::nextafter(t0, std::numeric_limits<float>::infinity()) - t0;
    for (double slept = 0; slept < kWaitCeiling; slept += kPollInterval) {
        double elapsed = static_cast<double>(services.seconds_since_midnight()) - t0;
        if (elapsed < -kDay / 2)
            elapsed += kDay;
        if (elapsed >= kEditorWait + 2 * resolution)
            return;
        services.sleep(kPollInterval);
    }
}

void run_without_map(Services& services, const std::string& command_line, bool type_yes) {
    if (!start_in_front(services, command_line) || (type_yes && !services.send_keys("Y")))
        report_failure(services);
}

}  // namespace

void Dorvane::Duke3d_Click() {
    if (run_with_map(*this, "duke3d.exe -map ") == Outcome::Failed)
        report_failure(services);
}

void Dorvane::Build_Click() {
    Outcome outcome = run_with_map(*this, "Build.exe ");
    if (outcome == Outcome::SlotFree)
        return;
    if (outcome == Outcome::Failed) {
        report_failure(services);
        return;
    }
    wait_for_editor(services);
    const std::string* name = nullptr;
    if (!services.send_keys("Y") || !(name = current_map_name(*this))) {
        report_failure(services);
        return;
    }
    Answer answer = services.message_box("Would you like to run " + *name + " in Duke3d?",
                                         "Helpful Shortcut :)", Buttons::YesNo);
    if (answer == Answer::Yes)
        Duke3d_Click();
}

void Dorvane::Setup_Click() {
    if (run_with_map(*this, "setup.exe -map ") == Outcome::Failed)
        report_failure(services);
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
    run_without_map(services, "duke3d.exe", false);
}

void Dorvane::RB_Click() {
    run_without_map(services, "build.exe", true);
}

void Dorvane::RS_Click() {
    run_without_map(services, "setup.exe", false);
}

}  // namespace dorvane
