// SPDX-License-Identifier: MIT
// The Win32 backend: real windows for the program's Forms.
//
// Each Form becomes a top-level window and each Control a child window, created in the order of
// `Form::controls` (which makes the focus order) when the form is first shown: by then its load
// has given the controls their captions, which the windows are made with. After every event it
// routes, and before every message box, the backend mirrors the fields of every Form and Control on
// the windows, touching only what changed. Geometry converts from twips with the system's DPI.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/form.h"
#include "platform/win32/pictures.h"

namespace dorvane::win32 {

inline constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;
// Menu commands count from here, clear of IDOK and IDCANCEL, which the dialog manager sends
// for Enter and Escape; controls count from 1000.
inline constexpr int kFirstCommand = 100;

// What a window shows just now, to change only what differs from its Control.
struct Shown {
    std::string caption;
    Rect place{-1, -1, -1, -1};
    bool visible = false;
    std::optional<Colour> back, fore;
    bool value = false;
    std::vector<std::string> items;
    int list_index = -1;
    Picture picture = Picture::None;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool fresh = true;  // a Line not mirrored yet
};

struct Widget {
    Control* control = nullptr;
    HWND hwnd = nullptr;  // nullptr for a Line, which its parent draws
    HWND parent = nullptr;
    int id = 0;
    Shown shown;
    // Set as it first draws (or the system asks its colours to draw it); until then a change of
    // colour needs no repaint, the first one shows it.
    bool drawn = false;
};

// A form's own top-level window and the widgets mirrored on it.
struct FormWindow {
    Form* form = nullptr;
    HWND hwnd = nullptr;
    HMENU menu = nullptr;
    std::vector<std::function<void()>> commands;   // menu command id - 1
    std::vector<std::unique_ptr<Widget>> widgets;  // made when the form is first shown
    bool widgets_made = false;
    std::string caption;
    bool visible = false;
    int client_width = -1, client_height = -1;
    std::optional<Colour> back;
    bool takes_input = true;  // enabled, as the event rules last said
};

class Backend {
  public:
    explicit Backend(HINSTANCE instance);
    ~Backend();
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    // Makes the form's window and its widgets. false when the system would not make the window,
    // with its reason in `error`: the form then has no window, and the backend leaves it alone.
    bool create(Form& form, std::string* error = nullptr);
    void destroy(Form& form);

    // Runs a handler of the program, then mirrors every form.
    void route(const std::function<void()>& handler);
    void sync_all();

    // Takes messages until the program ends; returns the exit code.
    int run();
    // Takes one message as run() does: the keys the event rules decide first.
    void take(MSG& msg);
    void end();
    // What ends the program when the session ends (EventRules::end_from_outside).
    void end_from_outside(std::function<void()> end) { events_.end_from_outside(std::move(end)); }
    bool ended() const { return ended_; }
    // The visible window of the program that was active last, or nullptr.
    HWND last_active() const;
    std::vector<HWND> visible_windows() const;

    // Geometry.
    int px(double twips) const;
    double twips(int pixels) const;

    // Called by the window procedures.
    LRESULT form_message(FormWindow& window, UINT msg, WPARAM wp, LPARAM lp);
    Widget* widget_of(HWND hwnd);
    FormWindow* window_of(HWND hwnd);
    COLORREF back_of(const Widget& widget) const;
    void draw_frame(Widget& frame, HDC dc);
    void draw_picture(Widget& picture, HDC dc);
    void draw_lines(FormWindow& window, const Control* parent, HDC dc);
    HBRUSH brush(COLORREF colour);
    HFONT font(const Font& font);

    // A command button's caption as draw_button lays it out: the lines wrap_caption() gives in
    // the button's font, and the rectangle of the button they must fit and are centred in.
    struct CaptionLayout {
        std::vector<std::string> lines;
        RECT area;
    };
    CaptionLayout caption_layout(HWND button);

  private:
    void create_widget(FormWindow& window, Control& control);
    HMENU build_menu(FormWindow& window);
    RECT outer_rect(int client_width, int client_height, bool menu) const;
    void fit_menu_bar(FormWindow& window);
    void sync(FormWindow& window);
    void sync_widget(Widget& widget);
    void paint(FormWindow& window);
    void draw_button(const DRAWITEMSTRUCT& item);
    bool take_key(FormWindow& window, const MSG& msg);
    void command(FormWindow& window, WPARAM wp, LPARAM lp);
    void activated(FormWindow& window, WPARAM wp);
    LRESULT colour_control(HDC dc, HWND control);
    RECT pixel_rect(const Control& control) const;

    HINSTANCE instance_;
    int dpi_ = 96;
    bool ended_ = false;
    bool shown_any_ = false;
    int syncing_ = 0;
    bool resync_ = false;
    int next_id_ = 1000;
    std::vector<std::unique_ptr<FormWindow>> windows_;
    // Windows gone while a handler of theirs may still run; freed between messages.
    std::vector<std::unique_ptr<FormWindow>> graveyard_;
    std::map<HWND, Widget*> widgets_;
    std::map<COLORREF, HBRUSH> brushes_;
    std::map<std::string, HFONT> fonts_;
    Pictures pictures_;
    EventRules events_;
};

}  // namespace dorvane::win32
