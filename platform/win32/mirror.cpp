// SPDX-License-Identifier: MIT
// Mirroring: the widgets made for a Form's controls, and their fields copied onto them after every
// routed event, changing only what differs from what they show.
#include <algorithm>

#include "platform/win32/backend.h"
#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

// A drop-down list shows this many items when opened.
constexpr int kDropDownRows = 10;

bool same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

// The text a control of the system is given for the caption. The system takes an '&' as the
// mark of an access key; where the event rules say the caption marks none (a map name, above
// all), each '&' is doubled, which the system shows as one.
std::wstring caption_text(const Control& c) {
    if (EventRules::marks_access_key(c))
        return widen(c.caption);
    std::string text;
    for (char ch : c.caption)
        text += ch == '&' ? "&&" : std::string(1, ch);
    return widen(text);
}

// Shows a form's window, activated and on top as ShowWindow does, but leaves each window's
// background to be erased as that window paints, rather than every control's at once before the
// form's first paint: what shows is the same, and it shows sooner. The program's first window
// honours how whoever started the program asked it to show; a minimised or maximised start
// takes ShowWindow's way.
void show_form(HWND hwnd, bool first) {
    if (first) {
        STARTUPINFOW start{};
        start.cb = sizeof start;
        GetStartupInfoW(&start);
        WORD asked = start.dwFlags & STARTF_USESHOWWINDOW ? start.wShowWindow : SW_SHOWNORMAL;
        if (asked != SW_SHOWNORMAL && asked != SW_SHOW && asked != SW_SHOWDEFAULT) {
            ShowWindow(hwnd, SW_SHOWDEFAULT);
            return;
        }
    }
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_DEFERERASE);
}

}  // namespace

void Backend::create_widget(FormWindow& window, Control& control) {
    for (auto& widget : window.widgets) {
        if (widget->control == &control)
            return;  // made already, as the parent of an earlier control
    }
    HWND parent = window.hwnd;
    if (control.parent) {
        create_widget(window, const_cast<Control&>(*control.parent));
        for (auto& widget : window.widgets) {
            if (widget->control == control.parent)
                parent = widget->hwnd;
        }
    }
    auto widget = std::make_unique<Widget>();
    widget->control = &control;
    widget->parent = parent;
    widget->id = next_id_++;

    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ex = 0;
    std::wstring text = caption_text(control);
    bool takes_focus = control.focus_place >= 0;
    switch (control.kind) {
        case ControlKind::CommandButton:
            cls = L"BUTTON";
            // Drawn here, graphical or not, so that a caption breaks into lines by the same rule
            // in every backend (draw_button).
            style |= BS_OWNERDRAW;
            break;
        case ControlKind::OptionButton: {
            cls = L"BUTTON";
            style |= BS_AUTORADIOBUTTON | BS_MULTILINE;
            // A run of option buttons of one parent is one group for the arrow keys.
            const Widget* before = nullptr;
            for (auto& w : window.widgets) {
                if (w->parent == parent && w->hwnd)
                    before = w.get();
            }
            if (!before || before->control->kind != ControlKind::OptionButton)
                style |= WS_GROUP;
            takes_focus = false;  // only the chosen one, set while mirroring
            break;
        }
        case ControlKind::Label:
            style |= SS_LEFT | SS_NOPREFIX;
            takes_focus = false;
            break;
        case ControlKind::Frame:
            cls = L"DorvaneFrame";
            style |= WS_CLIPCHILDREN;
            ex |= WS_EX_CONTROLPARENT;
            takes_focus = false;
            break;
        case ControlKind::TextBox:
            cls = L"EDIT";
            style |= ES_AUTOHSCROLL;
            if (control.caption.find('\n') != std::string::npos)
                style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
            ex |= WS_EX_CLIENTEDGE;
            text = edit_text(control.caption);
            break;
        case ControlKind::PictureBox:
            cls = L"DorvanePicture";
            ex |= WS_EX_CLIENTEDGE;
            text.clear();
            break;
        case ControlKind::List:
            cls = L"COMBOBOX";
            style |= CBS_DROPDOWNLIST | WS_VSCROLL;
            text.clear();
            break;
        case ControlKind::FileList:
            cls = L"LISTBOX";
            style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
            ex |= WS_EX_CLIENTEDGE;
            text.clear();
            break;
        case ControlKind::Line:
            window.widgets.push_back(std::move(widget));
            return;  // drawn by its parent
    }
    if (control.kind != ControlKind::OptionButton)
        style |= WS_GROUP;
    if (takes_focus)
        style |= WS_TABSTOP;
    if (control.visible)
        style |= WS_VISIBLE;
    RECT r = pixel_rect(control);
    widget->hwnd = CreateWindowExW(
        ex, cls, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(widget->id)), instance_, nullptr);
    if (!widget->hwnd)
        return;
    SendMessageW(widget->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.font)), FALSE);
    // What the window is made with needs no mirroring; a new window paints whole anyway. An
    // option button starts unchecked and out of the tab order, a list empty.
    Shown& shown = widget->shown;
    shown.caption = control.caption;
    if (control.kind != ControlKind::List)  // mirrored with the height of its drop-down
        shown.place = control.place;
    shown.visible = control.visible;
    shown.back = control.back;
    shown.fore = control.fore;
    shown.picture = control.picture;
    widgets_[widget->hwnd] = widget.get();
    window.widgets.push_back(std::move(widget));
}

RECT Backend::outer_rect(int client_width, int client_height, bool menu) const {
    RECT want{0, 0, px(client_width), px(client_height)};
    AdjustWindowRectEx(&want, kFormStyle, menu, kFormExStyle);
    return want;
}

// A menu bar that wraps takes more height than one row: grow by what is missing.
void Backend::fit_menu_bar(FormWindow& window) {
    RECT client;
    GetClientRect(window.hwnd, &client);
    int short_by = px(window.client_height) - client.bottom;
    if (short_by > 0) {
        RECT outer;
        GetWindowRect(window.hwnd, &outer);
        SetWindowPos(window.hwnd, nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top + short_by,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Backend::sync_all() {
    if (ended_)
        return;
    if (syncing_) {
        resync_ = true;  // a handler ran while we mirrored: go round once more
        return;
    }
    ++syncing_;
    do {
        resync_ = false;
        for (std::size_t i = 0; i < windows_.size() && !ended_; ++i)
            sync(*windows_[i]);
    } while (resync_ && !ended_);
    --syncing_;
}

void Backend::sync(FormWindow& window) {
    Form& form = *window.form;
    HWND hwnd = window.hwnd;
    if (form.caption != window.caption) {
        window.caption = form.caption;
        SetWindowTextW(hwnd, widen(form.caption).c_str());
    }
    if (form.client_width != window.client_width || form.client_height != window.client_height) {
        window.client_width = form.client_width;
        window.client_height = form.client_height;
        RECT want = outer_rect(form.client_width, form.client_height, window.menu != nullptr);
        SetWindowPos(hwnd, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        fit_menu_bar(window);
    }
    if (form.back != window.back) {
        window.back = form.back;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (form.visible && !window.widgets_made) {
        window.widgets_made = true;
        for (Control* control : form.controls)
            create_widget(window, *control);
    }
    for (std::size_t i = 0; i < window.widgets.size(); ++i)
        sync_widget(*window.widgets[i]);
    // While a form holds the input, the program's other windows take none. Only a change is
    // mirrored: a message box disables and enables its owner on its own.
    bool takes_input = events_.takes_input(form);
    if (takes_input != window.takes_input) {
        window.takes_input = takes_input;
        EnableWindow(hwnd, takes_input);
    }
    if (form.visible != window.visible) {
        window.visible = form.visible;
        if (form.visible) {
            events_.shown(form);  // before the system activates the window it shows
            show_form(hwnd, !shown_any_);
            shown_any_ = true;
        } else {
            ShowWindow(hwnd, SW_HIDE);
        }
    }
}

void Backend::sync_widget(Widget& widget) {
    Control& c = *widget.control;
    Shown& s = widget.shown;
    if (c.kind == ControlKind::Line) {
        if (s.fresh || c.visible != s.visible || c.fore != s.fore || c.x1 != s.x1 || c.y1 != s.y1 ||
            c.x2 != s.x2 || c.y2 != s.y2) {
            s.visible = c.visible;
            s.fore = c.fore;
            s.x1 = c.x1, s.y1 = c.y1, s.x2 = c.x2, s.y2 = c.y2;
            s.fresh = false;
            InvalidateRect(widget.parent, nullptr, TRUE);
        }
        return;
    }
    HWND hwnd = widget.hwnd;
    if (!hwnd)
        return;
    if (!same(c.place, s.place)) {
        s.place = c.place;
        RECT r = pixel_rect(c);
        int height = r.bottom - r.top;
        if (c.kind == ControlKind::List)  // a combo box's height includes its drop-down
            height += kDropDownRows * static_cast<int>(SendMessageW(hwnd, CB_GETITEMHEIGHT, 0, 0));
        SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (c.caption != s.caption) {
        s.caption = c.caption;
        if (c.kind == ControlKind::TextBox)
            SetWindowTextW(hwnd, edit_text(c.caption).c_str());
        else if (c.kind != ControlKind::List && c.kind != ControlKind::FileList &&
                 c.kind != ControlKind::PictureBox)
            SetWindowTextW(hwnd, caption_text(c).c_str());
        if (c.kind == ControlKind::Frame)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (c.back != s.back || c.fore != s.fore) {
        s.back = c.back;
        s.fore = c.fore;
        if (widget.drawn)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (c.kind == ControlKind::OptionButton && c.value != s.value) {
        s.value = c.value;
        SendMessageW(hwnd, BM_SETCHECK, c.value ? BST_CHECKED : BST_UNCHECKED, 0);
        // Tab reaches a group of option buttons at its chosen one.
        LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        LONG want = c.value && c.focus_place >= 0 ? style | WS_TABSTOP : style & ~WS_TABSTOP;
        if (want != style)
            SetWindowLongW(hwnd, GWL_STYLE, want);
    }
    if (c.kind == ControlKind::List || c.kind == ControlKind::FileList) {
        bool combo = c.kind == ControlKind::List;
        if (c.items != s.items) {
            s.items = c.items;
            SendMessageW(hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
            for (const std::string& item : c.items)
                SendMessageW(hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(widen(item).c_str()));
            s.list_index = -2;  // the selection went with the old items
        }
        if (c.selected_index() != s.list_index) {
            s.list_index = c.selected_index();
            SendMessageW(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL,
                         static_cast<WPARAM>(s.list_index), 0);
        }
    }
    if (c.kind == ControlKind::PictureBox && c.picture != s.picture) {
        s.picture = c.picture;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (c.visible != s.visible) {
        s.visible = c.visible;
        ShowWindow(hwnd, c.visible ? SW_SHOWNA : SW_HIDE);
    }
}

}  // namespace dorvane::win32
