// SPDX-License-Identifier: MIT
// Drawing: the form's own paint handler through a Canvas, graphical buttons, frames, pictures,
// lines, and the colours of the system's controls.
#include <cmath>
#include <string>
#include <vector>

#include "platform/win32/backend.h"
#include "platform/win32/text.h"
#include "platform/wrap.h"

namespace dorvane::win32 {

namespace {

// What Form_Paint draws on: the window's client area, in twips.
class GdiCanvas : public Canvas {
  public:
    GdiCanvas(const Backend& backend, HWND hwnd, HDC dc) : backend_(backend), hwnd_(hwnd), dc_(dc) {
        GetWindowRect(hwnd, &outer_);
        GetClientRect(hwnd, &client_);
        SelectObject(dc_, GetStockObject(DC_BRUSH));
    }

    double outer_width() const override { return backend_.twips(outer_.right - outer_.left); }
    double outer_height() const override { return backend_.twips(outer_.bottom - outer_.top); }

    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override {
        RECT r{backend_.px(std::fmin(x1, x2)), backend_.px(std::fmin(y1, y2)),
               backend_.px(std::fmax(x1, x2)), backend_.px(std::fmax(y1, y2))};
        SetDCBrushColor(dc_, colour & 0xFFFFFF);  // the program's colour is a COLORREF
        FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }

    // A point can be read back when it lies in the client area and on a screen.
    bool shows_point(float x, float y) const override {
        POINT p{backend_.px(x), backend_.px(y)};
        if (!PtInRect(&client_, p) || !IsWindowVisible(hwnd_) || IsIconic(hwnd_))
            return false;
        ClientToScreen(hwnd_, &p);
        return MonitorFromPoint(p, MONITOR_DEFAULTTONULL) != nullptr;
    }

  private:
    const Backend& backend_;
    HWND hwnd_;
    HDC dc_;
    RECT outer_, client_;
};

// A command button's caption keeps this many pixels from the button's sides.
constexpr int kCaptionInset = 4;

// The caption's lines by the shared rule, in the font selected into `dc`.
std::vector<std::string> lines_within(HDC dc, const std::string& caption, int width) {
    return wrap_caption(caption, width, [dc](std::string_view shown) {
        std::wstring text = widen(shown);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    });
}

RECT caption_area(RECT button) {
    InflateRect(&button, -kCaptionInset, -kCaptionInset);
    return button;
}

// Draws lines centred in a box, each with its access key underlined, clipped to the box.
void draw_centred(HDC dc, const std::vector<std::string>& lines, RECT box, UINT extra) {
    std::wstring text;
    for (const std::string& line : lines)
        text += (text.empty() ? L"" : L"\n") + widen(line);
    RECT measure = box;
    DrawTextW(dc, text.c_str(), -1, &measure, DT_CENTER | DT_CALCRECT | extra);
    int height = measure.bottom - measure.top;
    box.top += std::max(0L, ((box.bottom - box.top) - height) / 2);
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | extra);
}

}  // namespace

void Backend::paint(FormWindow& window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window.hwnd, &ps);
    GdiCanvas canvas(*this, window.hwnd, dc);
    Form& form = *window.form;
    route([&form, &canvas] { form.Form_Paint(canvas); });
    if (!ended_)
        draw_lines(window, nullptr, dc);
    EndPaint(window.hwnd, &ps);
}

COLORREF Backend::back_of(const Widget& widget) const {
    const Control& c = *widget.control;
    if (c.back)
        return *c.back;
    switch (c.kind) {
        case ControlKind::TextBox:
        case ControlKind::List:
        case ControlKind::FileList:
            return GetSysColor(COLOR_WINDOW);
        default:
            break;
    }
    // Labels, option buttons and frames take the colour of what they sit on.
    for (auto* ancestor = c.parent; ancestor; ancestor = ancestor->parent) {
        if (ancestor->back)
            return *ancestor->back;
    }
    HWND root = GetAncestor(widget.parent, GA_ROOT);
    for (const auto& window : windows_) {
        if (window->hwnd == root && window->form->back)
            return *window->form->back;
    }
    return GetSysColor(COLOR_BTNFACE);
}

LRESULT Backend::colour_control(HDC dc, HWND control) {
    Widget& widget = *widget_of(control);
    widget.drawn = true;
    const Control& c = *widget.control;
    bool field = c.kind == ControlKind::TextBox || c.kind == ControlKind::List ||
                 c.kind == ControlKind::FileList;
    COLORREF back = back_of(widget);
    SetTextColor(dc, c.fore ? *c.fore : GetSysColor(field ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    SetBkColor(dc, back);
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(brush(back));
}

void Backend::draw_button(const DRAWITEMSTRUCT& item) {
    Widget* widget = widget_of(item.hwndItem);
    // Before its first paint (the focus given as its form shows draws it too), a button waits
    // for that paint, which is due while part of it is still to be painted.
    if (!widget || (!widget->drawn && GetUpdateRect(item.hwndItem, nullptr, FALSE)))
        return;
    widget->drawn = true;
    const Control& c = *widget->control;
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    if (c.graphical) {
        FillRect(dc, &r, brush(back_of(*widget)));
        DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }

    HGDIOBJ old = SelectObject(dc, font(c.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, item.itemState & ODS_DISABLED ? GetSysColor(COLOR_GRAYTEXT)
                     : c.fore                      ? *c.fore
                                                   : GetSysColor(COLOR_BTNTEXT));
    RECT text = caption_area(r);
    std::vector<std::string> lines = lines_within(dc, c.caption, text.right - text.left);
    if (pressed)
        OffsetRect(&text, 1, 1);
    draw_centred(dc, lines, text, item.itemState & ODS_NOACCEL ? DT_HIDEPREFIX : 0);
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

Backend::CaptionLayout Backend::caption_layout(HWND button) {
    CaptionLayout layout{};
    Widget* widget = widget_of(button);
    if (!widget)
        return layout;
    RECT client;
    GetClientRect(button, &client);
    layout.area = caption_area(client);
    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, font(widget->control->font));
    layout.lines = lines_within(dc, widget->control->caption, layout.area.right - layout.area.left);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    return layout;
}

void Backend::draw_frame(Widget& frame, HDC dc) {
    frame.drawn = true;
    const Control& c = *frame.control;
    RECT client;
    GetClientRect(frame.hwnd, &client);
    COLORREF back = back_of(frame);
    FillRect(dc, &client, brush(back));

    HGDIOBJ old = SelectObject(dc, font(c.font));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    RECT edge = client;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (!c.caption.empty()) {
        std::wstring text = widen(c.caption);
        RECT label{8, 0, client.right - 8, metrics.tmHeight};
        RECT measure = label;
        DrawTextW(dc, text.c_str(), -1, &measure, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        label.right = std::min(label.right, measure.right + 4);
        label.left -= 2;
        SetBkColor(dc, back);
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, c.fore ? *c.fore : GetSysColor(COLOR_BTNTEXT));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &label, nullptr, 0, nullptr);
        label.left += 2;
        DrawTextW(dc, text.c_str(), -1, &label, DT_SINGLELINE | DT_NOPREFIX);  // shown as it is
    }
    SelectObject(dc, old);
    if (FormWindow* window = window_of(GetAncestor(frame.hwnd, GA_ROOT)))
        draw_lines(*window, &c, dc);
}

void Backend::draw_picture(Widget& picture, HDC dc) {
    picture.drawn = true;
    RECT client;
    GetClientRect(picture.hwnd, &client);
    FillRect(dc, &client, brush(back_of(picture)));
    HBITMAP bitmap = pictures_.bitmap(picture.control->picture);
    if (!bitmap)
        return;
    BITMAP info;
    GetObjectW(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void Backend::draw_lines(FormWindow& window, const Control* parent, HDC dc) {
    for (auto& widget : window.widgets) {
        const Control& c = *widget->control;
        if (c.kind != ControlKind::Line || c.parent != parent || !c.visible)
            continue;
        HPEN pen = CreatePen(PS_SOLID, 1, c.fore ? *c.fore : RGB(0, 0, 0));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, px(c.x1), px(c.y1), nullptr);
        LineTo(dc, px(c.x2), px(c.y2));
        SetPixel(dc, px(c.x2), px(c.y2), c.fore ? *c.fore : RGB(0, 0, 0));  // LineTo stops short
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

}  // namespace dorvane::win32
