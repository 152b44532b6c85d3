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
        // the box behind it: come to the front first, once the window system's word of the
        // change has been taken (Wine hands the front to the desktop on a late one).
        MSG pending;
        PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE);
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

Win32Services::Win32Services(Backend& backend) : backend_(backend), launching_(backend) {}

Win32Services::~Win32Services() = default;

Win32Services::operator Services() {
    return {*this, files_, launching_.engine, clock_, *this};
}

namespace {

Win32Services::Launching* g_following = nullptr;  // the driver whose launch a timer follows up
constexpr UINT kFollowUpMs = 50;

}  // namespace

Win32Services::Launching::~Launching() {
    if (timer_)
        KillTimer(nullptr, timer_);
    if (g_following == this)
        g_following = nullptr;
}

void Win32Services::Launching::follow_up_soon() {
    g_following = this;
    if (!timer_)
        timer_ = SetTimer(nullptr, 0, kFollowUpMs, tick);
}

void CALLBACK Win32Services::Launching::tick(HWND, UINT, UINT_PTR, DWORD) {
    Launching* self = g_following;
    if (!self || self->engine.follow_up())
        return;
    KillTimer(nullptr, self->timer_);
    self->timer_ = 0;
}

std::optional<std::string> Win32Services::form_created(Form& form) {
    std::string error;
    if (backend_.create(form, &error))
        return std::nullopt;
    return error;
}

void Win32Services::form_destroyed(Form& form) {
    backend_.destroy(form);
}

void Win32Services::end_program() {
    backend_.end();
}

}  // namespace dorvane::win32
