// SPDX-License-Identifier: MIT
// Menus from plain data: the menu bar of a form, and the items of a pick-only list.
//
// The items are laid out as FLTK's item arrays directly, never through its text paths, so that
// captions such as "File  |" are shown exactly as given ('/' and '|' are plain characters).
#pragma once

#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Bar.H>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"

namespace dorvane::fltk {

// An item array with its own copies of the texts.
class MenuItems {
  public:
    void add(const std::string& text, int shortcut, Fl_Callback* callback, void* data, int flags);
    // Ends a submenu, or the whole array.
    void end();
    const Fl_Menu_Item* items() const;
    void clear();

  private:
    std::deque<std::string> texts_;
    std::vector<Fl_Menu_Item> items_;
};

// A pick-only drop-down list.
class PickList : public Fl_Choice {
  public:
    PickList(int x, int y, int w, int h) : Fl_Choice(x, y, w, h) {}
    void set_items(const std::vector<std::string>& items);

  private:
    MenuItems items_;
};

// The menu bar of a form: its entries in order, items with their Ctrl shortcuts, and entries
// without items that act when chosen. Choosing runs the handler through route_event().
class FormMenuBar : public Fl_Menu_Bar {
  public:
    FormMenuBar(int x, int y, int w, int h, Form& form, int font_size);
    int handle(int event) override;
    // Opens the menu of the form's menu entry `entry`, as a click on its title does.
    void open(int entry);

  private:
    MenuItems items_;
};

}  // namespace dorvane::fltk
