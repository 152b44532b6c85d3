// SPDX-License-Identifier: MIT
// Events: what the user does with a window, routed to the program's handlers.
#include <algorithm>

#include "platform/ascii.h"
#include "platform/win32/backend.h"
#include "platform/win32/text.h"

namespace dorvane::win32 {

void Backend::command(Window& window, WPARAM wp, LPARAM lp) {
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

bool Backend::press_access_key(Window& window, wchar_t key) {
    if (key > 127)
        return false;
    char wanted = ascii_lower(static_cast<char>(key));
    for (auto& widget : window.widgets) {
        Control& c = *widget->control;
        if (!widget->hwnd || !IsWindowVisible(widget->hwnd) || !IsWindowEnabled(widget->hwnd))
            continue;
        if (c.kind != ControlKind::CommandButton && c.kind != ControlKind::OptionButton)
            continue;
        if (c.access_key() != wanted)
            continue;
        SetFocus(widget->hwnd);
        Form& form = *window.form;
        if (c.kind == ControlKind::OptionButton)
            route([&form, &c] { choose_option(form, c); });
        else
            route([&c] { press(c); });
        return true;
    }
    return false;
}

// Enter presses the command button that has the focus. The dialog manager would press only a
// default push button, which a window that is no dialog never makes of a focused one.
bool Backend::press_focused_button(Window& window) {
    HWND focus = GetFocus();
    Widget* widget = focus ? widget_of(focus) : nullptr;
    if (!widget || widget->control->kind != ControlKind::CommandButton ||
        GetAncestor(focus, GA_ROOT) != window.hwnd || !IsWindowEnabled(focus))
        return false;
    Control& c = *widget->control;
    route([&c] { press(c); });
    return true;
}

// The rules decide about the activation and which control takes the focus; the window only
// reports what the system tells it.
void Backend::activated(Window& window, WPARAM wp) {
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
