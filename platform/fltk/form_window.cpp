// SPDX-License-Identifier: MIT
#include "platform/fltk/form_window.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <unordered_map>
#include <vector>

#include "platform/fltk/canvas.h"
#include "platform/fltk/font_config.h"
#include "platform/fltk/router.h"

namespace dorvane::fltk {

namespace {

// The menu bar's height at 96 dpi, in pixels.
constexpr int kMenuHeight = 22;
// The menu's text size at 96 dpi.
constexpr int kMenuTextSize = 12;

void on_close(Fl_Widget* widget, void*) {
    // FLTK closes a window on Escape; a form closes only through its frame's close control.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    report_frame_close(static_cast<FormWindow*>(widget)->form());
}

}  // namespace

FormWindow::FormWindow(Form& form, const Scale& scale, PictureStore& pictures)
    : Fl_Double_Window(
          scale.px(form.client_width),
          scale.px(form.client_height) + (form.menu.empty() ? 0 : scale.px(kMenuHeight * 15)),
          nullptr),
      form_(form),
      scale_(scale) {
    look_.scale = &scale;
    look_.pictures = &pictures;
    area_top_ = form.menu.empty() ? 0 : scale.px(kMenuHeight * 15);
    size_range(w(), h(), w(), h());
    xclass("dorvane");
    callback(on_close);
    if (!form.modeless)
        set_modal();  // while shown, the program's other windows take no input

    if (!form.menu.empty())
        menu_bar_ =
            new FormMenuBar(0, 0, w(), area_top_, form, scale.font_px(kMenuTextSize * 0.75));

    std::unordered_map<const Control*, Fl_Group*> frames;
    for (Control* control : form.controls) {
        View& view = views_.emplace_back();
        view.form = &form;
        view.control = control;
        Fl_Group* parent = this;
        view.x0 = 0, view.y0 = area_top_;
        if (control->parent) {
            auto found = frames.find(control->parent);
            if (found != frames.end()) {
                parent = found->second;
                view.x0 = parent->x(), view.y0 = parent->y();
            }
        }
        Fl_Group::current(parent);
        view.widget = create_widget(view, look_);
        if (control->kind == ControlKind::Frame)
            frames[control] = static_cast<Fl_Group*>(view.widget);
    }
    Fl_Group::current(this);
    end();
    // Every size, so that the window manager need not scale the small one up (FLTK copies them).
    if (form.icon == Picture::Icon) {
        std::vector<const Fl_RGB_Image*> all = pictures.icons();
        if (!all.empty())
            Fl_Window::icons(all.data(), static_cast<int>(all.size()));
    }
}

Fl_Widget* FormWindow::widget_of(const Control* control) {
    for (View& view : views_) {
        if (view.control == control)
            return view.widget;
    }
    return nullptr;
}

Control* FormWindow::control_of(const Fl_Widget* widget) {
    for (; widget && widget != this; widget = widget->parent()) {
        for (View& view : views_) {
            if (view.widget == widget)
                return view.control;
        }
    }
    return nullptr;
}

bool FormWindow::take_key() {
    int code = Fl::event_key();
    Key key;
    key.alt = Fl::event_state(FL_ALT) != 0;
    key.ctrl = Fl::event_state(FL_CTRL) != 0;
    if (code == FL_Enter || code == FL_KP_Enter)
        key.code = Key::kEnter;
    else if (code == FL_Escape)
        key.code = Key::kEscape;
    else if ((code >= 'a' && code <= 'z') || (code >= '0' && code <= '9'))
        key.code = static_cast<char>(code);
    else
        return false;
    Fl_Widget* focus = Fl::focus();
    KeyOutcome outcome =
        report_key(form_, focus && focus->top_window() == this ? control_of(focus) : nullptr, key);
    if (outcome.use == KeyOutcome::Use::OpenMenu && menu_bar_)
        menu_bar_->open(outcome.menu);
    return outcome.use != KeyOutcome::Use::Passed;
}

void FormWindow::sync_window_fields() {
    if (!label() || caption_ != form_.caption) {
        caption_ = form_.caption;
        copy_label(caption_.c_str());
    }
    if (!fields_synced_ || back_ != form_.back) {
        bool again = fields_synced_;  // the first copy has nothing to redo
        fields_synced_ = true;
        back_ = form_.back;
        look_.form_back = back_ ? to_fl(*back_) : FL_BACKGROUND_COLOR;
        color(look_.form_back);
        if (!again)
            return;
        // Controls without a back colour of their own take the window's: copy them again.
        for (View& view : views_) {
            if (view.shown)
                view.shown->back = Colour{0xFFFFFFFFu};  // no real colour: forces the copy
        }
        if (!painting_)
            redraw();
    }
}

bool FormWindow::sync() {
    sync_window_fields();
    for (View& view : views_)
        apply(view, look_, painting_);
    if (painting_)
        return false;
    if (form_.visible && !shown()) {
        show();
        return true;
    }
    if (form_.visible && !visible()) {
        show();
        return true;
    }
    if (!form_.visible && shown() && visible())
        hide();
    return false;
}

void FormWindow::paint_form() {
    fl_push_clip(0, area_top_, w(), h() - area_top_);
    FltkCanvas canvas(*this, scale_, area_top_, frame_extents(*this));
    form_.Form_Paint(canvas);
    fl_pop_clip();
}

void FormWindow::draw() {
    if (!(damage() & ~FL_DAMAGE_CHILD)) {
        Fl_Double_Window::draw();  // only some controls changed
        return;
    }
    fl_rectf(0, 0, w(), h(), color());
    paint_form();
    // Whatever the paint handler changed shows in this same paint.
    painting_ = true;
    sync();
    painting_ = false;
    draw_children();
}

void FormWindow::flush() {
    wait_for_font_config();
    // The paint handler runs on every repaint, uncovering included, not only when the program
    // asked for one.
    if (damage() & FL_DAMAGE_EXPOSE)
        damage(FL_DAMAGE_ALL);
    Fl_Double_Window::flush();
}

}  // namespace dorvane::fltk
