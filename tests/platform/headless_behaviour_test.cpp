// SPDX-License-Identifier: MIT
// The event rules' cases on the headless backend, driven through its user events.
#include "platform/behaviour_cases.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane::testing {
namespace {

struct HeadlessBehaviour : ::testing::Test, BehaviourRig {
    TempFolder folder;
    HeadlessServices services{folder.str()};

    void created(Form& form) override { services.form_created(form); }
    void destroyed(Form& form) override { services.form_destroyed(form); }
    void route(const std::function<void()>& handler) override { services.route(handler); }
    // Nothing happens later than the event that caused it.
    bool wait(const std::function<bool()>& done, double) override { return done(); }
    bool active(const Form& form) override { return services.active_window() == &form; }
    const Control* focused(const Form& form) override {
        return active(form) ? services.focus() : nullptr;
    }
    void switch_to(Form& form) override { services.switch_to(form); }
    void other_program() override { services.switch_away(); }
    void click(Form& form, Control& control) override { services.click(form, control); }
    void close_frame(Form& form) override { services.close_frame(form); }
    // A key the rules pass on goes to the control with the focus.
    void key(Key key) override {
        if (!services.key(key) && !key.alt && !key.ctrl && key.code > ' ')
            services.type(std::string(1, key.code));
    }
    void left_arrow() override { services.left_arrow(); }
};

DORVANE_BEHAVIOUR_CASES(HeadlessBehaviour)

}  // namespace
}  // namespace dorvane::testing
