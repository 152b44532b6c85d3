// SPDX-License-Identifier: MIT
// How an event of the program runs, the same on every backend.
//
// A backend hands each of the user's events to route(): the handler runs, then, once the
// outermost event is over (a message box inside a handler takes events of its own), every window
// a handler retired is dropped and released, and last every window is mirrored.
#pragma once

#include <functional>
#include <vector>

#include "platform/form.h"

namespace dorvane {

class EventRules {
  public:
    // `drop` takes a retired window's widgets off the screen (the backend's form_destroyed);
    // `mirror` brings every window up to date with its form.
    EventRules(std::function<void(Form&)> drop, std::function<void()> mirror);

    // The program's windows, in the order they came into being.
    void created(Form& form);
    void destroyed(Form& form);
    const std::vector<Form*>& forms() const { return forms_; }

    void route(const std::function<void()>& handler);

  private:
    void retire();

    std::function<void(Form&)> drop_;
    std::function<void()> mirror_;
    std::vector<Form*> forms_;
    int depth_ = 0;
};

}  // namespace dorvane
