// SPDX-License-Identifier: MIT
#include "platform/events.h"

#include <algorithm>

namespace dorvane {

EventRules::EventRules(std::function<void(Form&)> drop, std::function<void()> mirror)
    : drop_(std::move(drop)), mirror_(std::move(mirror)) {}

void EventRules::created(Form& form) {
    if (!known(&form)) {
        forms_.push_back(&form);
        windows_[&form] = {};
    }
}

void EventRules::destroyed(Form& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    windows_.erase(&form);
    if (active_ == &form)
        active_ = nullptr;
}

bool EventRules::known(const Form* form) const {
    return std::find(forms_.begin(), forms_.end(), form) != forms_.end();
}

void EventRules::route(const std::function<void()>& handler) {
    ++depth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};
    if (handler)
        handler();
    if (depth_ == 1)
        retire();
    if (mirror_)
        mirror_();
}

void EventRules::retire() {
    // Releasing a form may retire or create others: take one at a time until none is left.
    for (;;) {
        auto it = std::find_if(forms_.begin(), forms_.end(), [](Form* f) { return f->retired; });
        if (it == forms_.end())
            return;
        Form& form = **it;
        destroyed(form);
        if (drop_)
            drop_(form);
        if (form.release)
            form.release();  // may free the form: nothing of it is used afterwards
    }
}

void EventRules::shown(Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    it->second.fresh = true;
    it->second.focus = nullptr;
    it->second.shown_at = ++showings_;
}

Control* EventRules::activated(Form& form) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return nullptr;
    // Coming back from another program or a message box finds the same form active as before.
    bool raise = it->second.fresh || active_ != &form;
    it->second.fresh = false;
    active_ = &form;
    if (raise)
        route([&form] { form.Form_Activate(); });
    // The handler may have ended the window.
    it = windows_.find(&form);
    if (it == windows_.end())
        return nullptr;
    Control* had = it->second.focus;
    if (had && can_take_focus(*had))
        return had;
    return first_focus(form);
}

void EventRules::focused(Form& form, Control* control) {
    auto it = windows_.find(&form);
    if (it == windows_.end())
        return;
    auto& controls = form.controls;
    if (control && std::find(controls.begin(), controls.end(), control) != controls.end())
        it->second.focus = control;
}

void EventRules::frame_close(Form& form) {
    if (!known(&form) || !takes_input(form))
        return;
    route([&form] { form.frame_closed(); });
}

void EventRules::typed(Control& box, const std::string& text) {
    if (box.kind != ControlKind::TextBox || box.caption == text)
        return;
    route([&box, text] { box.caption = text; });
}

bool EventRules::takes_input(const Form& form) const {
    const Form* holder = nullptr;
    unsigned long latest = 0;
    for (const Form* f : forms_) {
        if (f->modeless || !f->visible)
            continue;
        auto it = windows_.find(f);
        unsigned long at = it == windows_.end() ? 0 : it->second.shown_at;
        if (!holder || at > latest)
            holder = f, latest = at;
    }
    return !holder || holder == &form;
}

bool EventRules::can_take_focus(const Control& control) {
    if (control.focus_place < 0)
        return false;
    for (const Control* c = &control; c; c = c->parent) {
        if (!c->visible)
            return false;
    }
    switch (control.kind) {
        case ControlKind::CommandButton:
        case ControlKind::TextBox:
        case ControlKind::PictureBox:
        case ControlKind::List:
        case ControlKind::FileList:
            return true;
        case ControlKind::OptionButton:
            return control.value;  // a group takes the focus at its chosen button
        case ControlKind::Label:
        case ControlKind::Frame:
        case ControlKind::Line:
            return false;
    }
    return false;
}

Control* EventRules::first_focus(const Form& form) {
    Control* first = nullptr;
    for (Control* c : form.controls) {
        if (can_take_focus(*c) && (!first || c->focus_place < first->focus_place))
            first = c;
    }
    return first;
}

}  // namespace dorvane
