// SPDX-License-Identifier: MIT
#include "platform/win32/services.h"

#include <windows.h>

#include <vector>

#include "platform/win32/text.h"

namespace dorvane::win32 {

Answer Win32Services::message_box(const std::string& prompt, const std::string& title,
                                  Buttons buttons) {
    // The box shows the program as its handlers left it.
    backend_.sync_all();
    // The box belongs to the window the user worked in last, so that this one is active again
    // when the box closes; the program's other windows take no input meanwhile either.
    HWND owner = backend_.last_active();
    std::vector<HWND> disabled;
    if (owner) {
        for (HWND window : backend_.visible_windows()) {
            if (window != owner && IsWindowEnabled(window)) {
                EnableWindow(window, FALSE);
                disabled.push_back(window);
            }
        }
        // After a started program took the front (the editor's question), Windows would leave
        // the box behind it: come to the front first.
        DWORD process = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &process);
        if (process != GetCurrentProcessId())
            bring_to_front(owner);
    }
    UINT type = (buttons == Buttons::Ok ? MB_OK : MB_YESNO) | MB_SETFOREGROUND |
                (owner ? MB_APPLMODAL : MB_TASKMODAL);
    int chosen = MessageBoxW(owner, widen(prompt).c_str(), widen(title).c_str(), type);
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    // A box that could not be shown was not answered Yes.
    return chosen == IDYES ? Answer::Yes : Answer::No;
}

FileRead Win32Services::read_file(const std::string& name, std::size_t limit) {
    return files_.read_file(name, limit);
}

FileWrite Win32Services::replace_file(const std::string& name, std::string_view bytes,
                                      std::optional<std::string_view> expected) {
    return files_.replace_file(name, bytes, expected);
}

FileWrite Win32Services::keep_copy(const std::string& name, const std::string& copy_name) {
    return files_.keep_copy(name, copy_name);
}

FileListing Win32Services::list_files(const std::string& pattern, Hidden hidden) {
    return files_.list_files(pattern, hidden);
}

NameOnDisk Win32Services::real_name(const std::string& name) {
    return files_.real_name(name);
}

std::optional<TaskId> Win32Services::start_program(const std::string& command_line) {
    return processes_.start(command_line);
}

namespace {

Win32Services* g_following = nullptr;  // the services whose activation a timer follows up
constexpr UINT kFollowUpMs = 50;

}  // namespace

// The activation may go on after activate() returned, while the launcher's window takes messages
// again: a thread timer follows it up until the program's window shows, the program ends or the
// wait is over.
bool Win32Services::activate(TaskId task) {
    bool ok = processes_.activate(task);
    if (processes_.pending() && !follow_up_timer_) {
        g_following = this;
        follow_up_timer_ = SetTimer(nullptr, 0, kFollowUpMs, follow_up);
    }
    return ok;
}

void CALLBACK Win32Services::follow_up(HWND, UINT, UINT_PTR, DWORD) {
    Win32Services* self = g_following;
    if (!self)
        return;
    Processes::FollowUp step = self->processes_.follow_up();
    if (step == Processes::FollowUp::Waiting)
        return;
    KillTimer(nullptr, self->follow_up_timer_);
    self->follow_up_timer_ = 0;
    if (step == Processes::FollowUp::Failed && self->late_failure_)
        self->backend_.route(self->late_failure_);
}

void Win32Services::on_late_failure(std::function<void()> report) {
    late_failure_ = std::move(report);
}

bool Win32Services::send_keys(const std::string& keys, std::chrono::milliseconds shown_for) {
    return processes_.send_keys(keys, shown_for);
}

float Win32Services::seconds_since_midnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
           static_cast<float>(now.wMilliseconds) / 1000.0f;
}

void Win32Services::sleep(double seconds) {
    // Bounded first: a huge time would overflow the milliseconds, and one that came out as
    // INFINITE would never end.
    seconds = wait_bound(seconds);
    if (seconds > 0)
        Sleep(static_cast<DWORD>(seconds * 1000.0 + 0.5));
}

float Win32Services::random() {
    return random_.next();
}

// A window the system will not make is not passed over in silence. The first form is the main
// window: without it the program would run on with nothing to show and nothing to close.
void Win32Services::form_created(Form& form) {
    std::string error;
    bool first = !made_a_window_;
    if (backend_.create(form, &error)) {
        made_a_window_ = true;
        return;
    }
    message_box("Dorvane could not open the window \"" + form.caption + "\" (" + error + ")." +
                    (first ? " Dorvane cannot run without it and ends now." : ""),
                "Dorvane", Buttons::Ok);
    if (first)
        end_program();
}

void Win32Services::form_destroyed(Form& form) {
    backend_.destroy(form);
}

void Win32Services::end_program() {
    backend_.end();
}

}  // namespace dorvane::win32
