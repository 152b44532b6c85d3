// SPDX-License-Identifier: MIT
#include "platform/fltk/widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>

#include "platform/ascii.h"
#include "platform/fltk/input_method.h"
#include "platform/fltk/menus.h"
#include "platform/fltk/router.h"
#include "platform/wrap.h"

namespace dorvane::fltk {

Fl_Color to_fl(Colour colour) {
    return fl_rgb_color(static_cast<uchar>(colour_red(colour)),
                        static_cast<uchar>(colour_green(colour)),
                        static_cast<uchar>(colour_blue(colour)));
}

namespace {

void draw_plain(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    fl_font(label->font, label->size);
    fl_color(static_cast<Fl_Color>(label->color));
    bool clip = (align & FL_ALIGN_CLIP) != 0;
    if (clip)
        fl_push_clip(x, y, w, h);
    fl_draw(label->value, x, y, w, h, align, label->image, 0);
    if (clip)
        fl_pop_clip();
}

void measure_plain(const Fl_Label* label, int& w, int& h) {
    fl_font(label->font, label->size);
    fl_measure(label->value, w, h, 0);
}

// Inside its bevel, a command button's caption keeps this many pixels from either side.
constexpr int kCaptionInset = 2;

std::vector<std::string> lines_within(const char* caption, Fl_Font font, Fl_Fontsize size,
                                      int area_width) {
    fl_font(font, size);
    return wrap_caption(caption ? caption : "", area_width - 2 * kCaptionInset,
                        [](std::string_view shown) {
                            double w = fl_width(shown.data(), static_cast<int>(shown.size()));
                            return static_cast<int>(std::ceil(w));
                        });
}

// A command button's caption: its lines as the shared rule breaks them, each centred, with
// their access keys underlined; what the button cannot hold is clipped.
void draw_wrapped(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align) {
    std::string text;
    for (const std::string& line : lines_within(label->value, label->font, label->size, w))
        text += (text.empty() ? "" : "\n") + line;
    fl_color(static_cast<Fl_Color>(label->color));
    fl_push_clip(x, y, w, h);
    fl_draw(text.c_str(), x, y, w, h, static_cast<Fl_Align>(align & ~FL_ALIGN_WRAP), label->image,
            0);
    fl_pop_clip();
}

}  // namespace

bool in_focused_window(const Fl_Widget& widget) {
    const Fl_Widget* focus = Fl::focus();
    return !focus || focus->top_window() == widget.top_window();
}

Fl_Labeltype plain_label() {
    constexpr auto kType = static_cast<Fl_Labeltype>(FL_FREE_LABELTYPE);
    static bool registered = false;
    if (!registered) {
        Fl::set_labeltype(kType, draw_plain, measure_plain);
        registered = true;
    }
    return kType;
}

Fl_Labeltype wrapped_label() {
    constexpr auto kType = static_cast<Fl_Labeltype>(FL_FREE_LABELTYPE + 1);
    static bool registered = false;
    if (!registered) {
        Fl::set_labeltype(kType, draw_wrapped, measure_plain);
        registered = true;
    }
    return kType;
}

int caption_room(const Fl_Widget& button) {
    return button.w() - Fl::box_dw(button.box()) - 2 * kCaptionInset;
}

std::vector<std::string> caption_lines(const Fl_Widget& button) {
    return lines_within(button.label(), button.labelfont(), button.labelsize(),
                        button.w() - Fl::box_dw(button.box()));
}

namespace {

Fl_Font face_of(const Font& font) {
    std::string face = ascii_lower(font.face);
    Fl_Font base = FL_HELVETICA;
    if (face.find("times") != std::string::npos || face.find("serif") == 0)
        base = FL_TIMES;
    else if (face.find("courier") != std::string::npos || face.find("mono") != std::string::npos)
        base = FL_COURIER;
    return base + (font.bold ? FL_BOLD : 0) + (font.italic ? FL_ITALIC : 0);
}

int size_of(const Font& font, const Scale& scale) {
    return scale.font_px(font.points > 0 ? font.points : kDefaultPoints);
}

View* view_of(Fl_Widget* w) {
    return static_cast<View*>(w->user_data());
}

void on_press(Fl_Widget* w, void*) {
    Control* c = view_of(w)->control;
    route_event([c] { press(*c); });
}

// Command buttons show their access key underlined; the event rules decide what a key does
// (FormWindow::take_key), so the toolkit's own shortcut, a plain letter, presses nothing.
class CommandButton : public Fl_Button {
  public:
    using Fl_Button::Fl_Button;
    int handle(int event) override { return event == FL_SHORTCUT ? 0 : Fl_Button::handle(event); }
};

// Map names are shown as they are: an '&' in one is a plain character, not an access key.
class OptionButton : public Fl_Round_Button {
  public:
    OptionButton(int x, int y, int w, int h) : Fl_Round_Button(x, y, w, h) {
        clear_flag(SHORTCUT_LABEL);
        type(FL_RADIO_BUTTON);
        box(FL_FLAT_BOX);
    }
    int handle(int event) override {
        return event == FL_SHORTCUT ? 0 : Fl_Round_Button::handle(event);
    }
    // A white circle with a black dot when chosen, on the button's own back colour.
    void draw() override {
        draw_box(box(), color());
        int d = std::max(7, std::min(h() - 4, labelsize() + labelsize() / 5));
        int cx = x() + d / 6 + 1, cy = y() + (h() - d) / 2;
        fl_color(FL_WHITE);
        fl_pie(cx, cy, d, d, 0, 360);
        fl_color(FL_DARK3);
        fl_arc(cx, cy, d, d, 0, 360);
        if (value()) {
            int dot = std::max(3, d / 2 - (d / 2) % 2 + (d % 2));
            fl_color(FL_BLACK);
            fl_pie(cx + (d - dot) / 2, cy + (d - dot) / 2, dot, dot, 0, 360);
        }
        int tx = cx + d + 3;
        draw_label(tx, y(), x() + w() - tx, h(), FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
        if (Fl::focus() == this)
            draw_focus(FL_FLAT_BOX, tx - 1, y() + 1, x() + w() - tx, h() - 2);
    }
};

void on_option(Fl_Widget* w, void*) {
    View* v = view_of(w);
    Form* form = v->form;
    Control* c = v->control;
    route_event([form, c] { choose_option(*form, *c); });
}

// A captioned container drawn as an etched rectangle with its caption over the top edge.
class FrameBox : public Fl_Group {
  public:
    FrameBox(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
        clear_flag(SHORTCUT_LABEL);
        align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE);  // drawn here, not again by the parent
        end();
    }
    void draw() override {
        if (damage() & ~FL_DAMAGE_CHILD) {
            fl_rectf(x(), y(), w(), h(), color());
            fl_font(labelfont(), labelsize());
            int top = y() + labelsize() / 2;
            draw_box(FL_ENGRAVED_FRAME, x(), top, w(), h() - (top - y()), color());
            const char* text = label() ? label() : "";
            if (*text) {
                int tw = static_cast<int>(fl_width(text)) + 4;
                fl_rectf(x() + 6, y(), tw, labelsize() + 2, color());
                fl_color(labelcolor());
                fl_draw(text, x() + 8, y() + labelsize() - fl_descent() + 1);
            }
        }
        draw_children();
    }
};

// A segment between two points of its parent; the widget is the segment's bounding box.
class LineSegment : public Fl_Widget {
  public:
    LineSegment(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) { box(FL_NO_BOX); }
    int ax = 0, ay = 0, bx = 0, by = 0;  // end points in window pixels
    int width = 1;
    void draw() override {
        fl_color(labelcolor());
        fl_line_style(FL_SOLID, width);
        fl_line(ax, ay, bx, by);
        fl_line_style(0);
    }
};

// Shows its picture at the top-left corner inside a sunken border; a click raises `click`.
class PictureBox : public Fl_Box {
  public:
    PictureBox(int x, int y, int w, int h) : Fl_Box(x, y, w, h) { box(FL_DOWN_BOX); }
    Fl_RGB_Image* picture = nullptr;
    PictureStore* store = nullptr;
    Picture which{};  // none
    void draw() override {
        draw_box(box(), color());
        // Decoded when first shown, so that start-up decodes only the picture it shows.
        picture = store ? store->get(which) : nullptr;
        if (picture) {
            int inset = Fl::box_dx(box());
            fl_push_clip(x() + inset, y() + inset, w() - 2 * inset, h() - 2 * inset);
            picture->draw(x() + inset, y() + inset);
            fl_pop_clip();
        }
    }
    int handle(int event) override {
        if (event == FL_PUSH)
            return 1;
        if (event == FL_RELEASE && Fl::event_inside(this)) {
            do_callback();
            return 1;
        }
        return Fl_Box::handle(event);
    }
};

// Text boxes show their text in the control's font; an underlined font is drawn as a line
// under the text, which the input field itself cannot do.
class TextBox : public Fl_Input {
  public:
    using Fl_Input::Fl_Input;
    bool underline = false;
    int handle(int event) override {
        int used = Fl_Input::handle(event);
        if (event == FL_FOCUS && used && top_window())
            open_input_method(*top_window());
        return used;
    }
    void draw() override {
        Fl_Input::draw();
        if (!underline || !value()[0])
            return;
        fl_font(textfont(), textsize());
        int dx = Fl::box_dx(box()) + 3;
        int base = y() + (h() + fl_height()) / 2 - fl_descent() + 1;
        fl_color(textcolor());
        fl_line(x() + dx, base, x() + dx + static_cast<int>(fl_width(value())), base);
    }
};

// The user changed the text: the control's caption follows. The widget shows it already, so the
// mirror that follows leaves it alone rather than setting it again under the cursor.
void on_typed(Fl_Widget* w, void*) {
    View* v = view_of(w);
    std::string text = static_cast<Fl_Input*>(w)->value();
    if (v->shown)
        v->shown->caption = text;
    report_typed(*v->control, text);
}

// A pick-only list: the user picks an item and the list's click handler runs.
void on_pick(Fl_Widget* w, void*) {
    Control* c = view_of(w)->control;
    int index = static_cast<Fl_Choice*>(w)->value();
    route_event([c, index] { select_item(*c, index); });
}

// A list of file names: a single click selects a name, a double click raises `dbl_click`.
class FileList : public Fl_Hold_Browser {
  public:
    FileList(int x, int y, int w, int h) : Fl_Hold_Browser(x, y, w, h) {
        format_char(0);  // names are shown as they are
        column_char(0);
        when(FL_WHEN_NEVER);
    }
    int handle(int event) override {
        int used = Fl_Hold_Browser::handle(event);
        if (event != FL_PUSH && event != FL_DRAG && event != FL_RELEASE && event != FL_KEYBOARD)
            return used;
        Control* c = view_of(this)->control;
        int index = value() - 1;  // value() counts from 1; 0 is no selection
        if (index >= 0 && index != c->list_index)
            route_event([c, index] { select_item(*c, index); });
        // The second click of a double click; a third one is not another double click.
        if (event == FL_RELEASE && Fl::event_clicks() == 1 && index >= 0 && Fl::event_inside(this))
            route_event([c] {
                if (c->dbl_click)
                    c->dbl_click();
            });
        return used;
    }
};

}  // namespace

namespace {

// The control's rectangle in window pixels.
void pixels_of(const View& view, const Scale& s, int& x, int& y, int& w, int& h) {
    const Rect& r = view.control->place;
    x = view.x0 + s.px(r.left);
    y = view.y0 + s.px(r.top);
    w = std::max(1, s.span(r.left, r.width));
    h = std::max(1, s.span(r.top, r.height));
}

bool same_place(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

}  // namespace

Fl_Widget* create_widget(View& view, const Look& look) {
    const Control& c = *view.control;
    const Scale& s = *look.scale;
    const int x0 = view.x0, y0 = view.y0;
    int x, y, w, h;
    pixels_of(view, s, x, y, w, h);
    Fl_Widget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::CommandButton:
            widget = new CommandButton(x, y, w, h);
            // Long captions wrap (wrapped_label) and never spill over the button's edges.
            widget->align(FL_ALIGN_CENTER | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
            widget->callback(on_press);
            break;
        case ControlKind::OptionButton:
            widget = new OptionButton(x, y, w, h);
            widget->callback(on_option);
            break;
        case ControlKind::Label: {
            auto* box = new Fl_Box(FL_FLAT_BOX, x, y, w, h, nullptr);
            box->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP |
                       FL_ALIGN_CLIP);
            widget = box;
            break;
        }
        case ControlKind::Frame:
            widget = new FrameBox(x, y, w, h);
            break;
        case ControlKind::TextBox:
            widget = new TextBox(x, y, w, h);
            widget->callback(on_typed);
            widget->when(FL_WHEN_CHANGED);
            break;
        case ControlKind::PictureBox: {
            auto* box = new PictureBox(x, y, w, h);
            box->store = look.pictures;
            box->callback(on_press);
            widget = box;
            break;
        }
        case ControlKind::List: {
            auto* list = new PickList(x, y, w, h);
            list->callback(on_pick);
            list->when(FL_WHEN_CHANGED);
            widget = list;
            break;
        }
        case ControlKind::FileList:
            widget = new FileList(x, y, w, h);
            break;
        case ControlKind::Line: {
            int ax = x0 + s.px(c.x1), ay = y0 + s.px(c.y1);
            int bx = x0 + s.px(c.x2), by = y0 + s.px(c.y2);
            auto* line = new LineSegment(std::min(ax, bx), std::min(ay, by), std::abs(bx - ax) + 1,
                                         std::abs(by - ay) + 1);
            line->ax = ax, line->ay = ay, line->bx = bx, line->by = by;
            line->width = std::max(1, s.px(15));
            widget = line;
            break;
        }
    }
    widget->user_data(&view);
    widget->labeltype(c.kind == ControlKind::CommandButton ? wrapped_label() : plain_label());
    // A frame takes no focus itself but must pass it on to the controls it holds.
    if (c.focus_place < 0 && c.kind != ControlKind::Frame)
        widget->clear_visible_focus();
    return widget;
}

namespace {

void apply_caption(View& view, const std::string& caption) {
    Fl_Widget* w = view.widget;
    switch (view.control->kind) {
        case ControlKind::TextBox:
            static_cast<Fl_Input*>(w)->value(caption.c_str());
            break;
        case ControlKind::Line:
        case ControlKind::PictureBox:
        case ControlKind::List:
        case ControlKind::FileList:
            break;
        default:
            w->copy_label(caption.c_str());
    }
}

void apply_font(View& view, const Look& look) {
    const Control& c = *view.control;
    Fl_Widget* w = view.widget;
    Fl_Font face = face_of(c.font);
    int size = size_of(c.font, *look.scale);
    w->labelfont(face);
    w->labelsize(size);
    if (c.kind == ControlKind::TextBox) {
        auto* text = static_cast<TextBox*>(w);
        text->textfont(face);
        text->textsize(size);
        text->underline = c.font.underline;
    } else if (c.kind == ControlKind::List) {
        static_cast<Fl_Choice*>(w)->textfont(face);
        static_cast<Fl_Choice*>(w)->textsize(size);
    } else if (c.kind == ControlKind::FileList) {
        static_cast<Fl_Browser*>(w)->textfont(face);
        static_cast<Fl_Browser*>(w)->textsize(size);
    }
}

// The face of a control: its own back colour where its kind shows one, else its window's.
Fl_Color back_of(const Control& c, const Look& look) {
    switch (c.kind) {
        case ControlKind::CommandButton:
            return c.graphical && c.back ? to_fl(*c.back) : FL_BACKGROUND_COLOR;
        case ControlKind::TextBox:
        case ControlKind::FileList:
            return c.back ? to_fl(*c.back) : FL_BACKGROUND2_COLOR;
        default:
            return c.back ? to_fl(*c.back) : look.form_back;
    }
}

void apply_colours(View& view, const Look& look) {
    const Control& c = *view.control;
    Fl_Widget* w = view.widget;
    Fl_Color fore = c.fore ? to_fl(*c.fore) : FL_FOREGROUND_COLOR;
    w->color(back_of(c, look));
    w->labelcolor(fore);
    if (c.kind == ControlKind::TextBox)
        static_cast<Fl_Input*>(w)->textcolor(fore);
    else if (c.kind == ControlKind::FileList)
        static_cast<Fl_Browser*>(w)->textcolor(fore);
    else if (c.kind == ControlKind::List)
        static_cast<Fl_Choice*>(w)->textcolor(fore);
}

void apply_items(View& view) {
    const Control& c = *view.control;
    if (c.kind == ControlKind::List) {
        static_cast<PickList*>(view.widget)->set_items(c.items);
    } else if (c.kind == ControlKind::FileList) {
        auto* list = static_cast<Fl_Browser*>(view.widget);
        list->clear();
        for (const std::string& item : c.items)
            list->add(item.c_str());
    }
}

void apply_index(View& view) {
    const Control& c = *view.control;
    int index = c.selected_index();
    if (c.kind == ControlKind::List) {
        static_cast<Fl_Choice*>(view.widget)->value(index);
    } else if (c.kind == ControlKind::FileList) {
        auto* list = static_cast<Fl_Browser*>(view.widget);
        list->value(index + 1);  // 0 selects nothing
        if (index >= 0)
            list->make_visible(index + 1);
    }
}

}  // namespace

void apply(View& view, const Look& look, bool painting) {
    const Control& c = *view.control;
    Fl_Widget* w = view.widget;
    bool first = !view.shown;
    Shown& was = first ? view.shown.emplace() : *view.shown;
    bool changed = first;

    if (first || was.caption != c.caption) {
        apply_caption(view, c.caption);
        was.caption = c.caption, changed = true;
    }
    if (first || was.back != c.back || was.fore != c.fore) {
        apply_colours(view, look);
        was.back = c.back, was.fore = c.fore, changed = true;
    }
    if (first)
        apply_font(view, look);
    if (c.kind == ControlKind::OptionButton && (first || was.value != c.value)) {
        static_cast<Fl_Button*>(w)->value(c.value ? 1 : 0);
        was.value = c.value, changed = true;
    }
    if (first || was.items != c.items) {
        apply_items(view);
        was.items = c.items, was.list_index = -2, changed = true;
    }
    if (was.list_index != c.list_index) {
        apply_index(view);
        was.list_index = c.list_index, changed = true;
    }
    // A control moved by the program (lines stay where they were drawn).
    if (first || !same_place(was.place, c.place)) {
        if (!first && c.kind != ControlKind::Line) {
            int x, y, wd, ht;
            pixels_of(view, *look.scale, x, y, wd, ht);
            w->resize(x, y, wd, ht);
            if (!painting && w->parent())
                w->parent()->redraw();
        }
        was.place = c.place, changed = true;
    }
    if (c.kind == ControlKind::PictureBox && (first || was.picture != c.picture)) {
        static_cast<PictureBox*>(w)->which = c.picture;
        was.picture = c.picture, changed = true;
    }
    if (first || was.visible != c.visible) {
        was.visible = c.visible;
        if (painting || first)
            c.visible ? w->set_visible() : w->clear_visible();
        else
            c.visible ? w->show() : w->hide();
    }
    if (changed && !painting)
        w->redraw();
}

}  // namespace dorvane::fltk
