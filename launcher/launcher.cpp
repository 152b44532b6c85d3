// SPDX-License-Identifier: MIT
#include "launcher/launcher.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <string>

#include "platform/launch.h"

namespace dorvane {

namespace {

constexpr const char* kFailurePrompt = "Make sure you have Dorvane in your Duke3d directory";
constexpr double kEditorWait = 2.0;
constexpr double kPollInterval = 0.01;
// The most the editor wait may sleep in all: ends the wait when the clock is set back or stalls.
constexpr double kWaitCeiling = 3.0;
constexpr double kDay = 86400.0;
// The editor's two seconds hold for its window as well, counted from the moment the window was
// seen on the screen: it may show only after the activation's hold. The margin is for the
// editor, which learns that its window is up a little after the screen shows it.
constexpr std::chrono::milliseconds kEditorOnScreen{2000 + 25};

enum class Outcome { Started, SlotFree, Failed };

void report_failure(MessageBoxService& boxes) {
    boxes.message_box(kFailurePrompt, "Error!", Buttons::Ok);
}

// The caption of slot `map` (an empty `map` counts as slot 0); nullptr when `map` names no slot.
const std::string* current_map_name(const State& state, const SlotButtons& slots) {
    int k = slot_or_zero(state.map);
    if (k < 0 || k >= kSlots)
        return nullptr;
    return &slots[k].caption;
}

// The activation may go on after the command returned (see platform/launch.h); a program that
// then ends with an error before its window shows gets the same message, later.
bool start_in_front(ProcessService& processes, MessageBoxService& boxes,
                    const std::string& command_line) {
    std::optional<TaskId> task = processes.start_program(command_line);
    if (!task)
        return false;
    processes.on_late_failure([&boxes] { report_failure(boxes); });
    return processes.activate(*task);
}

Outcome run_with_map(const State& state, const SlotButtons& slots, LaunchServices services,
                     const std::string& program_part) {
    const std::string* name = current_map_name(state, slots);
    if (!name)
        return Outcome::Failed;
    if (name->empty()) {
        services.boxes.message_box("Put a map in the slot first.", "Duh!", Buttons::Ok);
        return Outcome::SlotFree;
    }
    // The catalogue keeps names lower-cased; a case-sensitive file system may hold the map as
    // "E1L8.MAP", and only that name reaches it. A map that is not there, or in a folder that
    // cannot be searched, goes out as stored, and the program started says what it makes of it.
    NameOnDisk on_disk = services.files.real_name(*name);
    const std::string& map_name =
        on_disk.status == NameOnDisk::Status::Found ? on_disk.name : *name;
    return start_in_front(services.processes, services.boxes, program_part + map_name)
               ? Outcome::Started
               : Outcome::Failed;
}

// Gives the editor two seconds to come up, holding the window without taking any event. The
// clock restarts at midnight, hence the wrap. It is single precision, which late in the day
// resolves only about 8 ms: a reading may lie up to one step off, so the wait asks for two
// steps more, or the key could go out before the two seconds are up. And since the sleeps
// take at least as long as they ask, their sum bounds the wait when the clock is set back or
// stands still.
void wait_for_editor(ClockService& clock) {
    const float t0 = clock.seconds_since_midnight();
    const double resolution = std::nextafter(t0, std::numeric_limits<float>::infinity()) - t0;
    for (double slept = 0; slept < kWaitCeiling; slept += kPollInterval) {
        double elapsed = static_cast<double>(clock.seconds_since_midnight()) - t0;
        if (elapsed < -kDay / 2)
            elapsed += kDay;
        if (elapsed >= kEditorWait + 2 * resolution)
            return;
        clock.sleep(kPollInterval);
    }
}

void run_without_map(ProcessService& processes, MessageBoxService& boxes,
                     const std::string& command_line, bool type_yes) {
    if (!start_in_front(processes, boxes, command_line) ||
        (type_yes && !processes.send_keys("Y", launch::kAtOnce)))
        report_failure(boxes);
}

}  // namespace

void run_in_duke3d(const State& state, const SlotButtons& slots, LaunchServices services) {
    if (run_with_map(state, slots, services, "duke3d.exe -map ") == Outcome::Failed)
        report_failure(services.boxes);
}

void run_in_build(const State& state, const SlotButtons& slots, LaunchServices services) {
    Outcome outcome = run_with_map(state, slots, services, "Build.exe ");
    if (outcome == Outcome::SlotFree)
        return;
    if (outcome == Outcome::Failed) {
        report_failure(services.boxes);
        return;
    }
    wait_for_editor(services.clock);
    const std::string* name = nullptr;
    if (!services.processes.send_keys("Y", kEditorOnScreen) ||
        !(name = current_map_name(state, slots))) {
        report_failure(services.boxes);
        return;
    }
    Answer answer = services.boxes.message_box("Would you like to run " + *name + " in Duke3d?",
                                               "Helpful Shortcut :)", Buttons::YesNo);
    if (answer == Answer::Yes)
        run_in_duke3d(state, slots, services);
}

void run_in_setup(const State& state, const SlotButtons& slots, LaunchServices services) {
    if (run_with_map(state, slots, services, "setup.exe -map ") == Outcome::Failed)
        report_failure(services.boxes);
}

void run_duke3d_without_map(ProcessService& processes, MessageBoxService& boxes) {
    run_without_map(processes, boxes, "duke3d.exe", false);
}

void run_build_without_map(ProcessService& processes, MessageBoxService& boxes) {
    run_without_map(processes, boxes, "build.exe", true);
}

void run_setup_without_map(ProcessService& processes, MessageBoxService& boxes) {
    run_without_map(processes, boxes, "setup.exe", false);
}

}  // namespace dorvane
