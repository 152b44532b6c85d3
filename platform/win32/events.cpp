// SPDX-License-Identifier: MIT
// Events: what the user does with a window, routed to the program's handlers.
#include <algorithm>

#include "platform/ascii.h"
#include "platform/win32/backend.h"
#include "platform/win32/text.h"

namespace dorvane::win32 {

void Backend::command(FormWindow& window, WPARAM wp, LPARAM lp) {
    Form& form = *window.form;
    if (!lp) {  // menu entry or its Ctrl shortcut
        int index = LOWORD(wp) - kFirstCommand;
        if (index >= 0 && index < static_cast<int>(window.commands.size())) {
            std::function<void()> run = window.commands[index];
            route(run);
        }
        return;
    }
    Widget* widget = widget_of(reinterpret_cast<HWND>(lp));
    if (!widget)
        return;
    Control& c = *widget->control;
    WORD code = HIWORD(wp);
    switch (c.kind) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED)
                route([&c] { press(c); });
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED)
                route([&form, &c] { choose_option(form, c); });
            break;
        case ControlKind::PictureBox:
            if (code == STN_CLICKED)
                route([&c] { press(c); });
            break;
        case ControlKind::List:
            if (code == CBN_SELCHANGE) {
                int index = static_cast<int>(SendMessageW(widget->hwnd, CB_GETCURSEL, 0, 0));
                widget->shown.list_index = index;
                route([&c, index] { select_item(c, index); });
            }
            break;
        case ControlKind::FileList:
            if (code == LBN_SELCHANGE) {
                int index = static_cast<int>(SendMessageW(widget->hwnd, LB_GETCURSEL, 0, 0));
                widget->shown.list_index = index;
                route([&c, index] { select_item(c, index); });
            } else if (code == LBN_DBLCLK) {
                route([&c] {
                    if (c.dbl_click)
                        c.dbl_click();
                });
            }
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE) {
                std::string text = window_text(widget->hwnd);
                if (text != narrow(edit_text(widget->shown.caption))) {
                    // The user typed: the control's text follows, in the caption's own line ends.
                    if (widget->shown.caption.find('\r') == std::string::npos)
                        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
                    widget->shown.caption = text;  // the box shows it already
                    events_.typed(c, text);
                }
            }
            break;
        default:
            break;
    }
}

// Keys go to the rules before any control or the dialog manager sees them; the window only reads
// them. Alt with a letter comes as the character it types, so that the system's key down, which
// comes first, still tells it that the Alt was no press of its own, for its menu bar.
bool Backend::take_key(FormWindow& window, const MSG& msg) {
    Key key;
    key.alt = GetKeyState(VK_MENU) < 0;
    key.ctrl = GetKeyState(VK_CONTROL) < 0;
    WPARAM code = msg.wParam;
    // A key's code is its upper-case letter or its digit; a character may be lower case too.
    bool letter = (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
    if (msg.message == WM_SYSCHAR && (letter || (code >= 'a' && code <= 'z')))
        key.code = ascii_lower(static_cast<char>(code));
    else if (msg.message == WM_KEYDOWN && (code == VK_RETURN || code == VK_ESCAPE))
        key.code = code == VK_RETURN ? Key::kEnter : Key::kEscape;
    else if (msg.message == WM_KEYDOWN && key.ctrl && letter)
        key.code = ascii_lower(static_cast<char>(code));
    else
        return false;
    HWND focus = GetFocus();
    Widget* widget =
        focus && GetAncestor(focus, GA_ROOT) == window.hwnd ? widget_of(focus) : nullptr;
    HWND hwnd = window.hwnd;
    KeyOutcome outcome = events_.key(*window.form, widget ? widget->control : nullptr, key);
    if (outcome.use == KeyOutcome::Use::OpenMenu && window_of(hwnd))
        SendMessageW(hwnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(key.code));
    return outcome.use != KeyOutcome::Use::Passed;
}

// The rules decide about the activation and which control takes the focus; the window only
// reports what the system tells it.
void Backend::activated(FormWindow& window, WPARAM wp) {
    Form& form = *window.form;
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        Widget* widget = focus && IsChild(window.hwnd, focus) ? widget_of(focus) : nullptr;
        events_.focused(form, widget ? widget->control : nullptr);
        return;
    }
    HWND hwnd = window.hwnd;
    Control* focus = events_.activated(form);
    // Form_Activate may have ended the window.
    if (!focus || !window_of(hwnd))
        return;
    for (auto& widget : window.widgets) {
        if (widget->control == focus && widget->hwnd) {
            SetFocus(widget->hwnd);
            return;
        }
    }
}

}  // namespace dorvane::win32
