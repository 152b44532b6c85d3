// SPDX-License-Identifier: MIT
#include "platform/form.h"

#include "platform/ascii.h"

namespace dorvane {

char Control::access_key() const {
    return dorvane::access_key(caption);
}

char access_key(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" shows a plain ampersand
            continue;
        }
        return ascii_lower(caption[i + 1]);
    }
    return 0;
}

int Control::selected_index() const {
    return list_index >= 0 && static_cast<std::size_t>(list_index) < items.size() ? list_index : -1;
}

std::string Control::selected_item() const {
    int index = selected_index();
    return index < 0 ? std::string() : items[static_cast<std::size_t>(index)];
}

void choose_option(Form& form, Control& option) {
    for (Control* other : form.controls) {
        if (other != &option && other->kind == ControlKind::OptionButton &&
            other->parent == option.parent) {
            other->value = false;
        }
    }
    option.value = true;
    press(option);
}

void select_item(Control& list, int index) {
    list.list_index = index;
    press(list);
}

void press(Control& control) {
    if (control.click)
        control.click();
}

}  // namespace dorvane
