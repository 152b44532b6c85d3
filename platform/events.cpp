// SPDX-License-Identifier: MIT
#include "platform/events.h"

#include <algorithm>

namespace dorvane {

EventRules::EventRules(std::function<void(Form&)> drop, std::function<void()> mirror)
    : drop_(std::move(drop)), mirror_(std::move(mirror)) {}

void EventRules::created(Form& form) {
    if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end())
        forms_.push_back(&form);
}

void EventRules::destroyed(Form& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
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
        forms_.erase(it);
        if (drop_)
            drop_(form);
        if (form.release)
            form.release();  // may free the form: nothing of it is used afterwards
    }
}

}  // namespace dorvane
