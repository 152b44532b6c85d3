// SPDX-License-Identifier: MIT
// The widgets that stand for the controls of a form, one kind of widget per kind of control,
// and the step that copies a control's fields onto its widget.
//
// A View pairs a control with its widget and remembers what was last copied, so that a widget
// is touched only when its control changed. Widgets route the user's clicks and picks through
// route_event(), so that they run the same handler a choice made from code runs.
#pragma once

#include <FL/Fl_Widget.H>

#include <optional>
#include <string>
#include <vector>

#include "platform/fltk/pictures.h"
#include "platform/fltk/scale.h"
#include "platform/form.h"

namespace dorvane::fltk {

// What every widget of one window shares.
struct Look {
    const Scale* scale = nullptr;
    PictureStore* pictures = nullptr;
    Fl_Color form_back = FL_BACKGROUND_COLOR;
};

// The fields of a control as its widget shows them now.
struct Shown {
    std::string caption;
    bool visible = true;
    std::optional<Colour> back, fore;
    bool value = false;
    std::vector<std::string> items;
    int list_index = -1;
    Picture picture{};  // none
    Rect place;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct View {
    Form* form = nullptr;
    Control* control = nullptr;
    Fl_Widget* widget = nullptr;
    int x0 = 0, y0 = 0;          // the parent's origin in window pixels
    std::optional<Shown> shown;  // nullopt until the first copy
};

// Creates the widget of `view.control` inside the current group, at its place relative to the
// origin (view.x0, view.y0) of its parent in pixels.
Fl_Widget* create_widget(View& view, const Look& look);

// Copies whatever changed in the control onto the widget. While the window paints, widgets are
// changed without asking for another repaint (the paint draws them all right after).
void apply(View& view, const Look& look, bool painting);

Fl_Color to_fl(Colour colour);

// Whether the widget's window is the one that holds the keyboard. FLTK offers a shortcut no
// widget of the focused window took to every other window too; access keys and menu shortcuts
// belong to their own window only.
bool in_focused_window(const Fl_Widget& widget);

// A label type that shows its text as it is: no '@' symbols. An '&' still marks an access key
// where the widget asks for it.
Fl_Labeltype plain_label();

// The label type of command buttons: as plain_label(), with a caption that does not fit on one
// line broken into lines by wrap_caption() (platform/wrap.h).
Fl_Labeltype wrapped_label();
// The lines a command button shows its caption in, and the width in pixels they must fit.
std::vector<std::string> caption_lines(const Fl_Widget& button);
int caption_room(const Fl_Widget& button);

}  // namespace dorvane::fltk
