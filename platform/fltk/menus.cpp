// SPDX-License-Identifier: MIT
#include "platform/fltk/menus.h"

#include <FL/Fl.H>

#include "platform/fltk/router.h"
#include "platform/fltk/widgets.h"

namespace dorvane::fltk {

void MenuItems::add(const std::string& text, int shortcut, Fl_Callback* callback, void* data,
                    int flags) {
    texts_.push_back(text);
    Fl_Menu_Item item{};
    item.text = texts_.back().c_str();
    item.shortcut_ = shortcut;
    item.callback_ = callback;
    item.user_data_ = data;
    item.flags = flags;
    item.labelsize_ = 0;
    items_.push_back(item);
}

void MenuItems::end() {
    items_.push_back(Fl_Menu_Item{});
}

const Fl_Menu_Item* MenuItems::items() const {
    return items_.data();
}

void MenuItems::clear() {
    texts_.clear();
    items_.clear();
}

void PickList::set_items(const std::vector<std::string>& items) {
    // The old array stays alive until the widget has let go of it.
    MenuItems fresh;
    for (const std::string& text : items)
        fresh.add(text, 0, nullptr, nullptr, 0);
    fresh.end();
    menu(fresh.items());
    std::swap(items_, fresh);
}

namespace {

void run_menu_handler(Fl_Widget*, void* data) {
    const auto* handler = static_cast<const std::function<void()>*>(data);
    route_event([handler] {
        if (*handler)
            (*handler)();
    });
}

}  // namespace

FormMenuBar::FormMenuBar(int x, int y, int w, int h, Form& form, int font_size)
    : Fl_Menu_Bar(x, y, w, h) {
    box(FL_FLAT_BOX);
    textsize(font_size);
    for (const MenuEntry& entry : form.menu) {
        if (entry.items.empty()) {
            items_.add(entry.caption, 0, run_menu_handler,
                       const_cast<std::function<void()>*>(&entry.click), 0);
            continue;
        }
        items_.add(entry.caption, 0, nullptr, nullptr, FL_SUBMENU);
        for (const MenuItem& item : entry.items) {
            int shortcut = item.ctrl_key ? FL_CTRL + item.ctrl_key : 0;
            items_.add(item.caption, shortcut, run_menu_handler,
                       const_cast<std::function<void()>*>(&item.click), 0);
        }
        items_.end();
    }
    items_.end();
    menu(items_.items());
}

// The event rules take the Ctrl shortcuts and the titles' access keys (FormWindow::take_key);
// the items only show their shortcuts. F10 opens the menu bar at its first entry, so that every
// menu, "Change Colors  |" included, can be reached without the mouse.
int FormMenuBar::handle(int event) {
    if (event != FL_SHORTCUT)
        return Fl_Menu_Bar::handle(event);
    if (Fl::event_key() != FL_F + 10 || Fl::event_state(FL_SHIFT | FL_CTRL | FL_ALT | FL_META) ||
        !in_focused_window(*this))
        return 0;
    picked(menu()->pulldown(x(), y(), w(), h(), menu(), this, nullptr, 1));
    return 1;
}

void FormMenuBar::open(int entry) {
    const Fl_Menu_Item* title = menu()->next(entry);
    if (!title || !title->label())
        return;
    // A title without items acts when chosen.
    picked(title->submenu() ? menu()->pulldown(x(), y(), w(), h(), title, this, nullptr, 1)
                            : title);
}

}  // namespace dorvane::fltk
