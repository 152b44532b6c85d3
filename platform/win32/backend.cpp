#include "platform/win32/backend.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

Backend* the_backend = nullptr;

constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
// Menu commands count from here, clear of IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Escape; controls count from 1000.
constexpr int kFirstCommand = 100;
constexpr int kDropDownRows = 10;

LRESULT CALLBACK form_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && the_backend)
        return the_backend->form_message(*window, msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Frames hold their own controls; what those report belongs to the form.
LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (Widget* frame = the_backend ? the_backend->widget_of(hwnd) : nullptr)
                the_backend->draw_frame(*frame, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK picture_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (Widget* picture = the_backend ? the_backend->widget_of(hwnd) : nullptr)
                the_backend->draw_picture(*picture, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP)
                SetFocus(hwnd);
            return 0;
        case WM_LBUTTONUP: {
            POINT at{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            RECT client;
            GetClientRect(hwnd, &client);
            if (PtInRect(&client, at))
                SendMessageW(GetParent(hwnd), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                             reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void register_class(HINSTANCE instance, const wchar_t* name, WNDPROC proc, HICON icon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// Edit controls break lines at CR LF only.
std::wstring edit_text(const std::string& caption) {
    std::wstring out;
    for (wchar_t ch : widen(caption)) {
        if (ch == L'\n' && (out.empty() || out.back() != L'\r'))
            out += L'\r';
        out += ch;
    }
    return out;
}

std::string window_text(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(n + 1, L'\0');
    text.resize(GetWindowTextW(hwnd, text.data(), n + 1));
    return narrow(text);
}

bool same(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

std::string font_key(const Font& f) {
    return f.face + "|" + std::to_string(f.points) + "|" + char('0' + f.bold) +
           char('0' + f.italic) + char('0' + f.underline);
}

}  // namespace

Backend::Backend(HINSTANCE instance) : instance_(instance) {
    the_backend = this;
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (dpi_ <= 0)
        dpi_ = 96;
    register_class(instance, L"DorvaneForm", form_proc, nullptr);
    register_class(instance, L"DorvaneFrame", frame_proc, nullptr);
    register_class(instance, L"DorvanePicture", picture_proc, nullptr);
}

Backend::~Backend() {
    for (auto& window : windows_) {
        SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, 0);
        DestroyWindow(window->hwnd);
        if (window->accelerators)
            DestroyAcceleratorTable(window->accelerators);
    }
    for (auto& [colour, brush] : brushes_)
        DeleteObject(brush);
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
    the_backend = nullptr;
}

int Backend::px(double twips) const {
    return static_cast<int>(std::lround(twips * dpi_ / 1440.0));
}

double Backend::twips(int pixels) const {
    return pixels * 1440.0 / dpi_;
}

RECT Backend::pixel_rect(const Control& c) const {
    return {px(c.place.left), px(c.place.top), px(c.place.left) + px(c.place.width),
            px(c.place.top) + px(c.place.height)};
}

Window* Backend::window_of(HWND hwnd) {
    for (auto& window : windows_) {
        if (window->hwnd == hwnd)
            return window.get();
    }
    return nullptr;
}

Widget* Backend::widget_of(HWND hwnd) {
    auto it = widgets_.find(hwnd);
    return it == widgets_.end() ? nullptr : it->second;
}

HBRUSH Backend::brush(COLORREF colour) {
    if (auto it = brushes_.find(colour); it != brushes_.end())
        return it->second;
    // Colour settings change the slot colours freely; keep the cache from growing without end.
    if (brushes_.size() > 512) {
        for (auto& [c, b] : brushes_)
            DeleteObject(b);
        brushes_.clear();
    }
    return brushes_[colour] = CreateSolidBrush(colour);
}

HFONT Backend::font(const Font& f) {
    std::string key = font_key(f);
    if (auto it = fonts_.find(key); it != fonts_.end())
        return it->second;
    LOGFONTW lf{};
    double points = f.points > 0 ? f.points : 8.25;
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi_ / 72.0));
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wstring face = widen(f.face.empty() ? std::string("MS Shell Dlg") : f.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return fonts_[key] = CreateFontIndirectW(&lf);
}

void Backend::create(Form& form) {
    auto window = std::make_unique<Window>();
    window->form = &form;
    window->hwnd = CreateWindowExW(kFormExStyle, L"DorvaneForm", widen(form.caption).c_str(),
                                   kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                                   nullptr, instance_, nullptr);
    if (!window->hwnd)
        return;
    SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window.get()));
    if (form.icon != Picture::None) {
        auto icon = reinterpret_cast<LPARAM>(pictures_.icon());
        SendMessageW(window->hwnd, WM_SETICON, ICON_BIG, icon);
        SendMessageW(window->hwnd, WM_SETICON, ICON_SMALL, icon);
    }
    build_menu(*window);
    for (Control* control : form.controls)
        create_widget(*window, *control);
    Window& made = *window;
    windows_.push_back(std::move(window));
    sync(made);
}

void Backend::destroy(Form& form) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        if ((*it)->form != &form)
            continue;
        Window& window = **it;
        for (auto& widget : window.widgets)
            widgets_.erase(widget->hwnd);
        SetWindowLongPtrW(window.hwnd, GWLP_USERDATA, 0);
        DestroyWindow(window.hwnd);
        if (window.accelerators)
            DestroyAcceleratorTable(window.accelerators);
        graveyard_.push_back(std::move(*it));
        windows_.erase(it);
        return;
    }
}

void Backend::build_menu(Window& window) {
    Form& form = *window.form;
    if (form.menu.empty())
        return;
    HMENU bar = CreateMenu();
    std::vector<ACCEL> keys;
    auto add = [&](std::function<void()> run) {
        window.commands.push_back(std::move(run));
        return static_cast<WORD>(kFirstCommand + window.commands.size() - 1);
    };
    for (std::size_t e = 0; e < form.menu.size(); ++e) {
        const MenuEntry& entry = form.menu[e];
        std::wstring caption = widen(entry.caption);
        if (entry.items.empty()) {
            // An entry without items acts when chosen, straight from the menu bar.
            WORD id = add([&form, e] {
                if (form.menu[e].click)
                    form.menu[e].click();
            });
            AppendMenuW(bar, MF_STRING, id, caption.c_str());
            continue;
        }
        HMENU popup = CreatePopupMenu();
        for (std::size_t i = 0; i < entry.items.size(); ++i) {
            const MenuItem& item = entry.items[i];
            WORD id = add([&form, e, i] {
                if (form.menu[e].items[i].click)
                    form.menu[e].items[i].click();
            });
            std::wstring text = widen(item.caption);
            if (item.ctrl_key) {
                wchar_t key = static_cast<wchar_t>(std::toupper(item.ctrl_key));
                text += L"\tCtrl+";
                text += key;
                keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(key), id});
            }
            AppendMenuW(popup, MF_STRING, id, text.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
    SetMenu(window.hwnd, bar);
    window.menu = bar;
    if (!keys.empty())
        window.accelerators = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void Backend::create_widget(Window& window, Control& control) {
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
    std::wstring text = widen(control.caption);
    bool takes_focus = control.focus_place >= 0;
    switch (control.kind) {
        case ControlKind::CommandButton:
            cls = L"BUTTON";
            style |= (control.graphical ? BS_OWNERDRAW : BS_PUSHBUTTON | BS_MULTILINE);
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
            style |= SS_LEFT;
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
    RECT r = pixel_rect(control);
    widget->hwnd = CreateWindowExW(
        ex, cls, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(widget->id)), instance_, nullptr);
    if (!widget->hwnd)
        return;
    SendMessageW(widget->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(control.font)), FALSE);
    widget->shown.caption = control.caption;
    widgets_[widget->hwnd] = widget.get();
    window.widgets.push_back(std::move(widget));
}

void Backend::route(const std::function<void()>& handler) {
    if (handler)
        handler();
    sync_all();
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

void Backend::sync(Window& window) {
    Form& form = *window.form;
    HWND hwnd = window.hwnd;
    if (form.caption != window.caption) {
        window.caption = form.caption;
        SetWindowTextW(hwnd, widen(form.caption).c_str());
    }
    if (form.client_width != window.client_width || form.client_height != window.client_height) {
        window.client_width = form.client_width;
        window.client_height = form.client_height;
        RECT want{0, 0, px(form.client_width), px(form.client_height)};
        AdjustWindowRectEx(&want, kFormStyle, window.menu != nullptr, kFormExStyle);
        SetWindowPos(hwnd, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // A menu bar that wraps takes more height than one row: grow by what is missing.
        RECT client;
        GetClientRect(hwnd, &client);
        int short_by = px(form.client_height) - client.bottom;
        if (short_by > 0) {
            RECT outer;
            GetWindowRect(hwnd, &outer);
            SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left,
                         outer.bottom - outer.top + short_by,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (form.back != window.back) {
        window.back = form.back;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    for (std::size_t i = 0; i < window.widgets.size(); ++i)
        sync_widget(window, *window.widgets[i]);
    if (form.visible != window.visible) {
        window.visible = form.visible;
        if (form.visible) {
            // The first window honours how whoever started the program asked it to show.
            ShowWindow(hwnd, shown_any_ ? SW_SHOW : SW_SHOWDEFAULT);
            shown_any_ = true;
        } else {
            window.activated = false;
            ShowWindow(hwnd, SW_HIDE);
        }
    }
}

void Backend::sync_widget(Window& window, Widget& widget) {
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
    if (s.fresh || !same(c.place, s.place)) {
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
            SetWindowTextW(hwnd, widen(c.caption).c_str());
        if (c.kind == ControlKind::Frame)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (s.fresh || c.back != s.back || c.fore != s.fore) {
        s.back = c.back;
        s.fore = c.fore;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (c.kind == ControlKind::OptionButton && (s.fresh || c.value != s.value)) {
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
        if (s.fresh || c.items != s.items) {
            s.items = c.items;
            SendMessageW(hwnd, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
            for (const std::string& item : c.items)
                SendMessageW(hwnd, combo ? CB_ADDSTRING : LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(widen(item).c_str()));
            s.list_index = -2;  // the selection went with the old items
        }
        if (c.list_index != s.list_index) {
            s.list_index = c.list_index;
            SendMessageW(hwnd, combo ? CB_SETCURSEL : LB_SETCURSEL,
                         static_cast<WPARAM>(c.list_index), 0);
        }
    }
    if (c.kind == ControlKind::PictureBox && (s.fresh || c.picture != s.picture)) {
        s.picture = c.picture;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    if (s.fresh || c.visible != s.visible) {
        s.visible = c.visible;
        ShowWindow(hwnd, c.visible ? SW_SHOWNA : SW_HIDE);
    }
    s.fresh = false;
    (void)window;
}

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
                    c.caption = widget->shown.caption = text;
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
    char wanted = static_cast<char>(std::tolower(key));
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

void Backend::activated(Window& window, WPARAM wp, LPARAM lp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window.hwnd, focus))
            window.focus = focus;
        return;
    }
    last_active_ = window.hwnd;
    HWND focus = window.focus && IsWindow(window.focus) && IsWindowVisible(window.focus)
                     ? window.focus
                     : GetNextDlgTabItem(window.hwnd, nullptr, FALSE);
    if (focus)
        SetFocus(focus);
    // Activate is an event within the program: raised on the first activation after showing
    // and when the user comes from another window of the program, not from other programs.
    bool from_ours = lp && window_of(GetAncestor(reinterpret_cast<HWND>(lp), GA_ROOT));
    if (window.activated && !from_ours)
        return;
    window.activated = true;
    Form& form = *window.form;
    route([&form] { form.Form_Activate(); });
}

LRESULT Backend::form_message(Window& window, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = window.hwnd;
    switch (msg) {
        case WM_COMMAND:
            command(window, wp, lp);
            return 0;
        case WM_CLOSE: {
            Form& form = *window.form;
            route([&form] { form.frame_closed(); });
            return 0;
        }
        case WM_ACTIVATE:
            activated(window, wp, lp);
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wp), &client,
                     brush(window.form->back ? *window.form->back : GetSysColor(COLOR_BTNFACE)));
            return 1;
        }
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_DRAWITEM:
            draw_button(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (widget_of(reinterpret_cast<HWND>(lp)))
                return colour_control(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND Backend::last_active() const {
    for (const auto& window : windows_) {
        if (window->hwnd == last_active_ && IsWindowVisible(window->hwnd))
            return last_active_;
    }
    for (const auto& window : windows_) {
        if (IsWindowVisible(window->hwnd))
            return window->hwnd;
    }
    return nullptr;
}

std::vector<HWND> Backend::visible_windows() const {
    std::vector<HWND> shown;
    for (const auto& window : windows_) {
        if (IsWindowVisible(window->hwnd))
            shown.push_back(window->hwnd);
    }
    return shown;
}

int Backend::run() {
    MSG msg;
    while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        Window* window = root ? window_of(root) : nullptr;
        bool taken = false;
        if (window && window->accelerators)
            taken = TranslateAcceleratorW(root, window->accelerators, &msg);
        if (!taken && window && msg.message == WM_SYSCHAR)
            taken = press_access_key(*window, static_cast<wchar_t>(msg.wParam));
        if (!taken && window)
            taken = IsDialogMessageW(root, &msg);
        if (!taken) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        graveyard_.clear();
    }
    return 0;
}

void Backend::end() {
    if (ended_)
        return;
    ended_ = true;
    for (auto& window : windows_) {
        for (auto& widget : window->widgets)
            widgets_.erase(widget->hwnd);
        SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, 0);
        DestroyWindow(window->hwnd);
        if (window->accelerators)
            DestroyAcceleratorTable(window->accelerators);
        graveyard_.push_back(std::move(window));
    }
    windows_.clear();
    PostQuitMessage(0);
}

}  // namespace dorvane::win32
