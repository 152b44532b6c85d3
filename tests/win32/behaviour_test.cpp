// SPDX-License-Identifier: MIT
// The Win32 backend on real windows, driven by the system's own input and activation (under Wine
// in a virtual X server): the event rules' cases, and a window the system will not make.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <utility>
#include <vector>

#include "platform/behaviour_cases.h"
#include "platform/win32/backend.h"
#include "platform/win32/text.h"

namespace dorvane::testing {
namespace {

struct Win32Behaviour : ::testing::Test, BehaviourRig {
    win32::Backend backend{GetModuleHandleW(nullptr)};
    HWND elsewhere = nullptr;  // a window that is none of the program's forms
    int placed = 0;            // windows made so far

    ~Win32Behaviour() override { DestroyWindow(elsewhere); }
    static HWND hwnd_of(const Form& form) {
        return FindWindowW(L"DorvaneForm", win32::widen(form.caption).c_str());
    }

    void created(Form& form) override {
        backend.create(form);
        // Wine's desktop puts every new window at the same place; a user's would spread them.
        int n = placed++;
        SetWindowPos(hwnd_of(form), nullptr, 20 + 330 * (n % 3), 20 + 280 * (n / 3 % 2), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void destroyed(Form& form) override { backend.destroy(form); }
    void route(const std::function<void()>& handler) override { backend.route(handler); }
    bool wait(const std::function<bool()>& done, double seconds) override {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        for (MSG msg;; MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                backend.take(msg);
            if (done() || std::chrono::steady_clock::now() > end)
                return done();
        }
    }
    bool active(const Form& form) override {
        HWND hwnd = hwnd_of(form);
        return hwnd && GetForegroundWindow() == hwnd;
    }
    const Control* focused(const Form& form) override {
        win32::Widget* widget = active(form) ? backend.widget_of(GetFocus()) : nullptr;
        return widget ? widget->control : nullptr;
    }
    void switch_to(Form& form) override { SetForegroundWindow(hwnd_of(form)); }
    void other_program() override {
        if (!elsewhere)
            elsewhere = CreateWindowExW(0, L"STATIC", L"another program",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 600, 200, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(elsewhere);
        until([this] { return GetForegroundWindow() == elsewhere; });
    }
    void click(Form& form, Control& control) override {
        HWND hwnd = nullptr;
        for (auto& w : backend.window_of(hwnd_of(form))->widgets)
            hwnd = w->control == &control ? w->hwnd : hwnd;
        ASSERT_TRUE(hwnd) << control.name;
        RECT r;
        GetWindowRect(hwnd, &r);
        // A text box at its right end, where the text ends.
        POINT at{control.kind == ControlKind::TextBox ? r.right - 6 : (r.left + r.right) / 2,
                 (r.top + r.bottom) / 2};
        // The pointer first, and the button only once it is there, each press and release with
        // the place again: Wine may otherwise press where the pointer was a moment before.
        INPUT mouse{.type = INPUT_MOUSE};
        mouse.mi.dx = static_cast<LONG>(at.x * 65535.0 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        mouse.mi.dy = static_cast<LONG>(at.y * 65535.0 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        for (DWORD button : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            mouse.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
            SendInput(1, &mouse, sizeof(INPUT));
            wait(
                [at] {
                    POINT now;
                    return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
                },
                button ? 0 : 2);
        }
        settle();
    }
    // What the frame's close control sends.
    void close_frame(Form& form) override {
        PostMessageW(hwnd_of(form), WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    void key(Key key) override {
        WORD code = key.code == Key::kEnter    ? VK_RETURN
                    : key.code == Key::kEscape ? VK_ESCAPE
                                               : LOBYTE(VkKeyScanW(static_cast<wchar_t>(key.code)));
        send_key(code, key.alt ? VK_MENU : key.ctrl ? VK_CONTROL : 0);
    }
    void left_arrow() override { send_key(VK_LEFT); }
    // A key pressed and let go, with a modifier key (0: none) held around it.
    void send_key(WORD key, WORD held = 0) {
        std::vector<INPUT> input;
        const DWORD up = KEYEVENTF_KEYUP;
        for (auto [k, flags] : {std::pair<WORD, DWORD>{held, 0}, {key, 0}, {key, up}, {held, up}}) {
            if (k)
                input.push_back({.type = INPUT_KEYBOARD, .ki = {.wVk = k, .dwFlags = flags}});
        }
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
        settle();
    }
};

DORVANE_BEHAVIOUR_CASES(Win32Behaviour)

// A window the system will not make (here: its class is gone) is reported with the system's
// reason, and the form without a window is left alone by every later step.
TEST(BackendFailure, AWindowTheSystemWillNotMakeIsReported) {
    Form form("TestForm");
    win32::Backend backend{GetModuleHandleW(nullptr)};
    ASSERT_TRUE(UnregisterClassW(L"DorvaneForm", GetModuleHandleW(nullptr)));
    std::string error;
    EXPECT_FALSE(backend.create(form, &error));
    EXPECT_FALSE(error.empty());
    form.visible = true;
    backend.route([&form] { form.caption = "still none"; });
    EXPECT_TRUE(backend.visible_windows().empty());
    backend.destroy(form);
}

}  // namespace
}  // namespace dorvane::testing
