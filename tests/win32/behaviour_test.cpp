// SPDX-License-Identifier: MIT
// The event rules' cases on the Win32 backend, on real windows driven by the system's own input
// (SendInput) and activation (under Wine in a virtual X server).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <vector>

#include "platform/behaviour_cases.h"
#include "platform/win32/backend.h"
#include "platform/win32/services.h"
#include "platform/win32/text.h"

namespace dorvane::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A key pressed and let go, with the keys `held` (0: none) held down around it.
void send_key(WORD key, std::initializer_list<WORD> held = {}) {
    std::vector<INPUT> input;
    auto add = [&input](WORD k, DWORD flags) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = k;
        one.ki.dwFlags = flags;
        if (k)
            input.push_back(one);
    };
    for (WORD k : held)
        add(k, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    for (WORD k : held)
        add(k, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void send_mouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(INPUT));
}

// Answers the box with Enter once it is the window in front.
void CALLBACK answer_box(HWND, UINT, UINT_PTR timer, DWORD) {
    wchar_t name[16] = {};
    HWND front = GetForegroundWindow();
    if (front && GetClassNameW(front, name, 16) && std::wstring(name) == L"#32770") {
        KillTimer(nullptr, timer);
        send_key(VK_RETURN);
    }
}

// The widget of one control, among a window's children.
struct Find {
    win32::Backend* backend;
    const Control* control;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND h, LPARAM data) {
    auto* f = reinterpret_cast<Find*>(data);
    win32::Widget* w = f->backend->widget_of(h);
    if (w && w->control == f->control)
        f->found = h;
    return !f->found;
}

struct Win32Behaviour : ::testing::Test, BehaviourRig {
    win32::Backend backend{GetModuleHandleW(nullptr)};
    win32::Win32Services services{backend};
    HWND elsewhere = nullptr;  // a window that is none of the program's forms
    int placed = 0;            // windows shown so far

    void TearDown() override {
        if (elsewhere)
            DestroyWindow(elsewhere);
    }

    static HWND hwnd_of(const Form& form) {
        return FindWindowW(L"DorvaneForm", win32::widen(form.caption).c_str());
    }
    void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            backend.take(msg);
    }
    bool wait(const std::function<bool()>& done, double seconds) {
        auto end = Clock::now() + std::chrono::duration<double>(seconds);
        for (;;) {
            pump();
            if (done())
                return true;
            if (Clock::now() > end)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    void created(Form& form) override { backend.create(form); }
    void destroyed(Form& form) override { backend.destroy(form); }
    void route(const std::function<void()>& handler) override { backend.route(handler); }
    bool until(const std::function<bool()>& done) override { return wait(done, 5); }
    void settle() override {
        wait([] { return false; }, 0.3);
    }

    bool show(Form& form) override {
        route([&form] { form.visible = true; });
        HWND hwnd = hwnd_of(form);
        if (!hwnd || !wait([hwnd] { return IsWindowVisible(hwnd) != 0; }, 5))
            return false;
        // Wine's desktop puts every new window at the same place; a user's would spread them.
        int n = placed++;
        SetWindowPos(hwnd, nullptr, 20 + 330 * (n % 3), 20 + 280 * (n / 3 % 2), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!wait([&] { return active(form); }, 1))
            SetForegroundWindow(hwnd);
        return wait([&] { return active(form); }, 5);
    }
    bool active(const Form& form) override {
        HWND hwnd = hwnd_of(form);
        return hwnd && GetForegroundWindow() == hwnd;
    }
    const Control* focused(const Form& form) override {
        HWND focus = GetFocus();
        if (!focus || !active(form) || GetAncestor(focus, GA_ROOT) != hwnd_of(form))
            return nullptr;
        win32::Widget* widget = backend.widget_of(focus);
        return widget ? widget->control : nullptr;
    }
    void switch_to(Form& form) override { SetForegroundWindow(hwnd_of(form)); }
    void other_program() override {
        if (!elsewhere)
            elsewhere = CreateWindowExW(0, L"STATIC", L"another program",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 600, 200, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(elsewhere);
        wait([this] { return GetForegroundWindow() == elsewhere; }, 5);
    }
    void message_box() override {
        UINT_PTR timer = SetTimer(nullptr, 0, 50, answer_box);
        route([this] { services.message_box("Really?", "Title", Buttons::Ok); });
        KillTimer(nullptr, timer);
    }
    HWND widget(const Form& form, const Control& control) {
        Find find{&backend, &control};
        EnumChildWindows(hwnd_of(form), match, reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    void click(Form& form, Control& control) override {
        HWND hwnd = widget(form, control);
        ASSERT_TRUE(hwnd) << control.name;
        RECT r;
        GetWindowRect(hwnd, &r);
        // A text box at its right end, where the text ends.
        LONG x = control.kind == ControlKind::TextBox ? r.right - 6 : (r.left + r.right) / 2;
        POINT at{x, (r.top + r.bottom) / 2};
        // The pointer first, and the button only once it is there, each press and release with
        // the place again: Wine may otherwise press where the pointer was a moment before.
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        LONG dx = static_cast<LONG>((at.x * 65535.0) / (width - 1));
        LONG dy = static_cast<LONG>((at.y * 65535.0) / (height - 1));
        DWORD there = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        send_mouse(there, dx, dy);
        wait([] { return false; }, 0.1);
        wait(
            [at] {
                POINT now;
                return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
            },
            2);
        send_mouse(there | MOUSEEVENTF_LEFTDOWN, dx, dy);
        send_mouse(there | MOUSEEVENTF_LEFTUP, dx, dy);
        settle();
    }
    void type(const std::string& letters) override {
        for (char letter : letters)
            send_key(LOBYTE(VkKeyScanW(static_cast<wchar_t>(letter))));
        settle();
    }
    void left_arrow() override {
        send_key(VK_LEFT);
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
        send_key(code, {static_cast<WORD>(key.alt ? VK_MENU : 0),
                        static_cast<WORD>(key.ctrl ? VK_CONTROL : 0)});
        settle();
    }
    // The system shows "&&" as "&" and takes a single '&' as the mark of an access key.
    std::string shown(const Form& form, const Control& control) override {
        HWND hwnd = widget(form, control);
        wchar_t text[256] = {};
        if (control.kind == ControlKind::FileList) {
            SendMessageW(hwnd, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
            return win32::narrow(text);
        }
        GetWindowTextW(hwnd, text, 256);
        std::wstring seen;
        for (const wchar_t* c = text; *c; ++c)
            seen += *c == L'&' && c[1] ? *++c : *c;
        return win32::narrow(seen);
    }
};

DORVANE_BEHAVIOUR_CASES(Win32Behaviour)

}  // namespace
}  // namespace dorvane::testing
