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
    bool until(const std::function<bool()>& done) override { return done(); }
    void settle() override { services.run_events(); }

    bool show(Form& form) override {
        services.route([&form] { form.visible = true; });
        return services.active_window() == &form;
    }
    bool active(const Form& form) override { return services.active_window() == &form; }
    const Control* focused(const Form& form) override {
        return services.active_window() == &form ? services.focus() : nullptr;
    }
    void switch_to(Form& form) override { services.switch_to(form); }
    void other_program() override { services.switch_away(); }
    void message_box() override {
        services.route([this] { services.message_box("Really?", "Title", Buttons::Ok); });
    }
    void click(Form& form, Control& control) override { services.click(form, control); }
    void type(const std::string& letters) override { services.type(letters); }
    void left_arrow() override { services.left_arrow(); }
    void close_frame(Form& form) override { services.close_frame(form); }
    void key(Key key) override { services.key(key); }
    std::string shown(const Form&, const Control& control) override {
        return control.kind == ControlKind::FileList ? control.items.at(0) : control.caption;
    }
};

DORVANE_BEHAVIOUR_CASES(HeadlessBehaviour)

// What the headless backend's own user events promise beyond the shared cases.
TEST_F(HeadlessBehaviour, UserEventsOnWindowsOffTheScreenAreRefused) {
    CaseForm form(*this, "hidden");
    EXPECT_FALSE(services.switch_to(form));
    EXPECT_FALSE(services.click(form, form.close));
    services.close_frame(form);
    EXPECT_EQ(form.presses, 0);
    EXPECT_EQ(form.closes, 0);
    EXPECT_EQ(form.activations, 0);
    EXPECT_FALSE(services.come_back()) << "nobody left for another program";
}

TEST_F(HeadlessBehaviour, HidingTheActiveWindowHandsTheKeyboardToTheOneActiveBefore) {
    CaseForm one(*this, "one"), two(*this, "two"), three(*this, "three");
    ASSERT_TRUE(show(one));
    ASSERT_TRUE(show(two));
    ASSERT_TRUE(show(three));
    ASSERT_TRUE(services.switch_to(one));
    ASSERT_TRUE(services.switch_to(three));
    services.route([&] { three.visible = false; });
    EXPECT_EQ(services.active_window(), &one);
    EXPECT_EQ(one.activations, 3);  // shown, then from three twice
    services.route([&] { one.visible = false; });
    EXPECT_EQ(services.active_window(), &two);
}

TEST_F(HeadlessBehaviour, ComingBackFromAnotherProgramReturnsToTheWindowLeft) {
    CaseForm form(*this, "left");
    ASSERT_TRUE(show(form));
    ASSERT_TRUE(services.click(form, form.text));
    services.switch_away();
    EXPECT_EQ(services.active_window(), nullptr);
    EXPECT_EQ(services.focus(), nullptr);
    EXPECT_FALSE(services.type("x"));
    EXPECT_TRUE(services.come_back());
    EXPECT_EQ(services.focus(), &form.text);
    EXPECT_EQ(form.activations, 1);
    EXPECT_TRUE(services.type("x"));
    EXPECT_EQ(form.text.caption, "x");
}

TEST_F(HeadlessBehaviour, AnUnscriptedQuestionStillGivesTheKeyboardBack) {
    CaseForm form(*this, "asks");
    ASSERT_TRUE(show(form));
    EXPECT_THROW(services.route([this] { services.message_box("Sure?", "T", Buttons::YesNo); }),
                 UnscriptedQuestion);
    EXPECT_EQ(services.active_window(), &form);
    // The program's events still run as before.
    EXPECT_TRUE(services.click(form, form.close));
    EXPECT_EQ(form.presses, 1);
}

}  // namespace
}  // namespace dorvane::testing
