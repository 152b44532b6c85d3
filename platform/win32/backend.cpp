// SPDX-License-Identifier: MIT
#include "platform/win32/backend.h"

#include <algorithm>
#include <cmath>

#include "platform/ascii.h"
#include "platform/win32/text.h"

namespace dorvane::win32 {

namespace {

Backend* the_backend = nullptr;

LRESULT CALLBACK form_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window && the_backend)
        return the_backend->form_message(*window, msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// Paints a frame or picture box, which draw themselves whole (no background erase first).
LRESULT paint_widget(HWND hwnd, void (Backend::*draw)(Widget&, HDC)) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (Widget* widget = the_backend ? the_backend->widget_of(hwnd) : nullptr)
        (the_backend->*draw)(*widget, dc);
    EndPaint(hwnd, &ps);
    return 0;
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
        case WM_PAINT:
            return paint_widget(hwnd, &Backend::draw_frame);
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK picture_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            return paint_widget(hwnd, &Backend::draw_picture);
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
std::string font_key(const Font& f) {
    return f.face + "|" + std::to_string(f.points) + "|" + char('0' + f.bold) +
           char('0' + f.italic) + char('0' + f.underline);
}

}  // namespace

Backend::Backend(HINSTANCE instance)
    : instance_(instance), events_([this](Form& form) { destroy(form); }, [this] { sync_all(); }) {
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

FormWindow* Backend::window_of(HWND hwnd) {
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
    double points = f.points > 0 ? f.points : kDefaultPoints;
    lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi_ / 72.0));
    lf.lfWeight = f.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = f.italic;
    lf.lfUnderline = f.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::wstring face = widen(f.face.empty() ? std::string("MS Shell Dlg") : f.face);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return fonts_[key] = CreateFontIndirectW(&lf);
}

bool Backend::create(Form& form, std::string* error) {
    events_.created(form);
    auto window = std::make_unique<FormWindow>();
    window->form = &form;
    // Made with its caption, menu bar and size, so that mirroring finds nothing to change.
    window->menu = build_menu(*window);
    RECT outer = outer_rect(form.client_width, form.client_height, window->menu != nullptr);
    window->hwnd =
        CreateWindowExW(kFormExStyle, L"DorvaneForm", widen(form.caption).c_str(), kFormStyle,
                        CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                        outer.bottom - outer.top, nullptr, window->menu, instance_, nullptr);
    if (!window->hwnd) {
        if (error)
            *error = error_text(GetLastError());
        if (window->menu)
            DestroyMenu(window->menu);
        return false;
    }
    window->caption = form.caption;
    window->client_width = form.client_width;
    window->client_height = form.client_height;
    window->back = form.back;
    fit_menu_bar(*window);
    SetWindowLongPtrW(window->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window.get()));
    if (form.icon != Picture::None) {
        SendMessageW(window->hwnd, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(pictures_.icon(false)));
        SendMessageW(window->hwnd, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(pictures_.icon(true)));
    }
    FormWindow& made = *window;
    windows_.push_back(std::move(window));
    sync(made);
    return true;
}

void Backend::destroy(Form& form) {
    events_.destroyed(form);
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        if ((*it)->form != &form)
            continue;
        FormWindow& window = **it;
        for (auto& widget : window.widgets)
            widgets_.erase(widget->hwnd);
        SetWindowLongPtrW(window.hwnd, GWLP_USERDATA, 0);
        DestroyWindow(window.hwnd);
        graveyard_.push_back(std::move(*it));
        windows_.erase(it);
        return;
    }
}

HMENU Backend::build_menu(FormWindow& window) {
    Form& form = *window.form;
    if (form.menu.empty())
        return nullptr;
    HMENU bar = CreateMenu();
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
            if (item.ctrl_key) {  // shown here, taken by the event rules
                text += L"\tCtrl+";
                text +=
                    static_cast<wchar_t>(static_cast<unsigned char>(ascii_upper(item.ctrl_key)));
            }
            AppendMenuW(popup, MF_STRING, id, text.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
    }
    return bar;
}

void Backend::route(const std::function<void()>& handler) {
    events_.route(handler);
}

LRESULT Backend::form_message(FormWindow& window, UINT msg, WPARAM wp, LPARAM lp) {
    HWND hwnd = window.hwnd;
    switch (msg) {
        case WM_COMMAND:
            command(window, wp, lp);
            return 0;
        case WM_CLOSE:
            events_.frame_close(*window.form);
            return 0;
        case WM_ACTIVATE:
            activated(window, wp);
            return 0;
        // The session ends as closing the main window ends the program, saving first. The
        // process may be gone once the message returns, so the end is done by then.
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp)
                events_.ended_from_outside();
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
    // The rules know which form was the program's active window last.
    for (const auto& window : windows_) {
        if (window->form == events_.active() && IsWindowVisible(window->hwnd))
            return window->hwnd;
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
    while (!ended_ && GetMessageW(&msg, nullptr, 0, 0) > 0)
        take(msg);
    return 0;
}

void Backend::take(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    FormWindow* window = root ? window_of(root) : nullptr;
    bool taken = window && take_key(*window, msg);
    // The dialog manager moves the focus with Tab and the arrows; characters go straight to the
    // control, or it would press buttons for letters the rules left alone.
    if (!taken && window && msg.message != WM_CHAR && msg.message != WM_SYSCHAR)
        taken = IsDialogMessageW(root, &msg);
    if (!taken) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    graveyard_.clear();
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
        graveyard_.push_back(std::move(window));
    }
    windows_.clear();
    PostQuitMessage(0);
}

}  // namespace dorvane::win32