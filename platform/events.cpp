// SPDX-License-Identifier: MIT
#include "platform/events.h"

#include <algorithm>

#include "platform/ascii.h"

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

KeyOutcome EventRules::key(Form& form, Control* focus, Key key) {
    using Use = KeyOutcome::Use;
    if (!known(&form) || !takes_input(form) || (key.alt && key.ctrl))
        return {};
    auto run = [this](const std::function<void()>& handler) {
        route([&handler] {
            if (handler)
                handler();
        });
        return KeyOutcome{Use::Taken};
    };
    if (key.code == Key::kEnter || key.code == Key::kEscape) {
        if (key.alt || key.ctrl)
            return {};
        if (key.code == Key::kEscape)
            return {focus && focus->kind == ControlKind::List ? Use::Passed : Use::Taken};
        bool button = focus && focus->kind == ControlKind::CommandButton;
        return button ? run([focus] { press(*focus); }) : KeyOutcome{};
    }
    if (key.ctrl) {
        for (const MenuEntry& entry : form.menu) {
            for (const MenuItem& item : entry.items) {
                if (item.ctrl_key && ascii_lower(item.ctrl_key) == key.code)
                    return run(item.click);
            }
        }
        return {};
    }
    if (!key.alt)
        return {};
    for (Control* c : form.controls) {
        bool shown = true;
        for (const Control* p = c; p; p = p->parent)
            shown = shown && p->visible;
        if (shown && marks_access_key(*c) && c->access_key() == key.code)
            return run([c] { press(*c); });
    }
    for (std::size_t i = 0; i < form.menu.size(); ++i) {
        if (access_key(form.menu[i].caption) == key.code)
            return {Use::OpenMenu, static_cast<int>(i)};
    }
    return {Use::Taken};  // not even a title's first letter opens it
}

void EventRules::ended_from_outside() {
    std::function<void()> end = std::move(outside_end_);
    outside_end_ = nullptr;  // once: a second report finds it ending already
    if (end)
        route(end);
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
