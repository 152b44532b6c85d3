// SPDX-License-Identifier: MIT
// One window of the program on the screen: the FLTK window that mirrors a Form.
//
// It is built from the form's controls in their order (which makes Tab follow the focus order),
// with the form's menu bar on top, and is brought up to date by sync() after every event the
// backend routes. Every full repaint runs the form's paint handler on the area below the menu
// bar first and then draws the controls with the colours the handler gave them.
#pragma once

#include <FL/Fl_Double_Window.H>

#include <deque>

#include "platform/fltk/menus.h"
#include "platform/fltk/widgets.h"
#include "platform/form.h"

namespace dorvane::fltk {

class FormWindow : public Fl_Double_Window {
  public:
    FormWindow(Form& form, const Scale& scale, PictureStore& pictures);

    Form& form() { return form_; }
    // The widget that mirrors the control, and the control a widget (or a widget inside it)
    // mirrors; nullptr for none of this window's.
    Fl_Widget* widget_of(const Control* control);
    Control* control_of(const Fl_Widget* widget);
    // Height of the menu bar in pixels: where the form's own area starts.
    int area_top() const { return area_top_; }

    // Mirrors the form's fields on the window and its widgets, shows or hides the window.
    // Returns whether the window has just been shown.
    bool sync();
    // The key of the event now, with the window holding the keyboard, to the event rules;
    // returns whether they took it.
    bool take_key();

    void draw() override;
    void flush() override;

  private:
    void sync_window_fields();
    void paint_form();

    Form& form_;
    const Scale& scale_;
    Look look_;
    int area_top_ = 0;
    FormMenuBar* menu_bar_ = nullptr;
    std::deque<View> views_;
    std::string caption_;
    std::optional<Colour> back_;
    bool painting_ = false;
    bool fields_synced_ = false;
};

}  // namespace dorvane::fltk
