// SPDX-License-Identifier: MIT
// The event rules as a user meets them, on each backend's input: a BehaviourRig fixture adds them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/form.h"

namespace dorvane::testing {

// The user's input on one backend, and what its windows show.
class BehaviourRig {
  public:
    virtual ~BehaviourRig() = default;
    virtual void created(Form& form) = 0;
    virtual void destroyed(Form& form) = 0;
    virtual void route(const std::function<void()>& handler) = 0;  // as one of the program's events
    // Runs the backend's events until `done` holds or `seconds` pass; returns whether it held.
    virtual bool wait(const std::function<bool()>& done, double seconds) = 0;
    // Whether the form's window holds the keyboard; its control with the focus (or nullptr).
    virtual bool active(const Form& form) = 0;
    virtual const Control* focused(const Form& form) = 0;
    // The user brings the form's window to the front, or a window of another program.
    virtual void switch_to(Form& form) = 0;
    virtual void other_program() = 0;
    // The user clicks a control or the frame's close control, or types into the window in front.
    virtual void click(Form& form, Control& control) = 0;
    virtual void close_frame(Form& form) = 0;
    virtual void key(Key key) = 0;
    virtual void left_arrow() = 0;

    bool until(const std::function<bool()>& done) { return wait(done, 5); }
    // For checks that something does NOT happen.
    void settle() {
        wait([] { return false; }, 0.3);
    }
    // Shows the form from a handler; true once its window holds the keyboard (asking if need be).
    bool show(Form& form) {
        route([&form] { form.visible = true; });
        if (!wait([&] { return active(form); }, 1))
            switch_to(form);
        return until([&] { return active(form); });
    }
};

inline Control control(const std::string& name, ControlKind kind, const std::string& caption,
                       Rect place, int focus) {
    return {.name = name, .kind = kind, .caption = caption, .place = place, .focus_place = focus};
}

// A window with what the cases need: two buttons around a text box, an option group and a menu.
struct CaseForm : Form {
    CaseForm(BehaviourRig& rig, const std::string& name) : Form(name), rig(rig) {
        caption = name + " case";
        client_width = 4500;
        client_height = 3000;
        close.click = [this] { ++presses; };
        first.click = [this] { first.value = true; };  // as a slot chooses itself
        second.value = true;
        controls = {&close, &text, &other, &first, &second};
        menu = {{"File", "File", {{"Exit", "Exit", 'q', [this] { ++commands; }}}, nullptr}};
        rig.created(*this);
    }
    ~CaseForm() override { rig.destroyed(*this); }
    void Form_Activate() override { ++activations; }
    void frame_closed() override {
        ++closes;
        retired = true;
    }

    using K = ControlKind;
    BehaviourRig& rig;
    Control close = control("close", K::CommandButton, "&Close", {120, 120, 1500, 450}, 0);
    Control text = control("text", K::TextBox, "", {120, 720, 2500, 390}, 1);
    Control other = control("other", K::CommandButton, "&Other", {120, 1320, 1500, 450}, 2);
    Control first = control("first", K::OptionButton, "first", {2800, 120, 1500, 300}, 3);
    Control second = control("second", K::OptionButton, "second", {2800, 520, 1500, 300}, 4);
    int activations = 0, closes = 0, presses = 0, commands = 0;
};

namespace behaviour_cases {

inline void activation(BehaviourRig& rig) {
    CaseForm one(rig, "one"), two(rig, "two");
    ASSERT_TRUE(rig.show(one));
    // Back from another program, the same form is the active one still.
    rig.other_program();
    EXPECT_TRUE(rig.until([&] { return !rig.active(one); }));
    rig.switch_to(one);
    EXPECT_TRUE(rig.until([&] { return rig.active(one); }));
    rig.settle();
    EXPECT_EQ(one.activations, 1);
    // Hidden and shown again, it counts as shown for the first time once more.
    rig.route([&] { one.visible = false; });
    rig.settle();
    ASSERT_TRUE(rig.show(one));
    EXPECT_TRUE(rig.until([&] { return one.activations == 2; }));
    // Coming from another form activates, also by way of another program.
    ASSERT_TRUE(rig.show(two));
    rig.switch_to(one);
    EXPECT_TRUE(rig.until([&] { return two.activations == 1 && one.activations == 3; }));
    rig.other_program();
    rig.switch_to(two);
    EXPECT_TRUE(rig.until([&] { return two.activations == 2; }));
    rig.settle();
    EXPECT_EQ(one.activations, 3);
}

inline void modal_input(BehaviourRig& rig) {
    CaseForm behind(rig, "behind");
    ASSERT_TRUE(rig.show(behind));
    auto modal = std::make_unique<CaseForm>(rig, "modal");
    modal->modeless = false;
    ASSERT_TRUE(rig.show(*modal));
    rig.click(behind, behind.close);
    rig.close_frame(behind);
    rig.click(*modal, modal->close);
    EXPECT_TRUE(rig.until([&] { return modal->presses == 1; }));
    rig.settle();
    EXPECT_EQ(behind.presses + behind.closes, 0);
    // Its frame's close control ends it (frame_closed); then the window behind takes input again.
    modal->release = [&modal] { modal.reset(); };
    rig.close_frame(*modal);
    EXPECT_TRUE(rig.until([&] { return modal == nullptr; }));
    rig.settle();
    rig.click(behind, behind.close);
    EXPECT_TRUE(rig.until([&] { return behind.presses == 1; }));
}

inline void focus(BehaviourRig& rig) {
    CaseForm form(rig, "focus"), elsewhere(rig, "elsewhere");
    ASSERT_TRUE(rig.show(form));
    rig.click(form, form.text);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.text; }));
    // Each letter is an event whose mirror must leave the cursor where the user put it.
    rig.key({'a'});
    rig.left_arrow();
    rig.key({'b'});
    rig.key({'c'});
    EXPECT_TRUE(rig.until([&] { return form.text.caption == "bca"; }));
    // Away to another window and back, the control that had the focus has it again.
    ASSERT_TRUE(rig.show(elsewhere));
    rig.switch_to(form);
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.text; }));
    rig.click(form, form.other);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.other; }));
    rig.key({Key::kEnter});  // presses that button, not the first
    rig.key({'e'});          // a button takes no text
    rig.settle();
    EXPECT_EQ(form.text.caption, "bca");
    EXPECT_EQ(form.presses, 0);
    // Shown anew it starts from its first control: with the buttons hidden, the group's chosen.
    rig.route([&] {
        form.visible = false;
        form.close.visible = form.text.visible = form.other.visible = false;
    });
    rig.settle();
    ASSERT_TRUE(rig.show(form));
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.second; }));
}

inline void keys(BehaviourRig& rig) {
    CaseForm form(rig, "keys");
    ASSERT_TRUE(rig.show(form));
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.close; }));
    // A slot holding a map: its name is data, not an access key.
    rig.route([&] { form.first.caption = "a&b.map"; });
    // Each key, and the presses and commands by then; a key doing nothing precedes one that does.
    struct Step {
        Key key;
        int presses, commands;
    } const steps[] = {
        {{'b', true}, 0, 0},         // the map name's "&b" is no access key
        {{'c'}, 0, 0},               // a plain letter presses nothing
        {{'c', true}, 1, 0},         // Alt+C: "&Close"
        {{'q', false, true}, 1, 1},  // Ctrl+Q: the menu's Exit
        {{Key::kEnter}, 2, 1},       // Enter: the button with the focus
        {{Key::kEscape}, 2, 1},      // Escape: nothing, and the window stays
        {{'q', false, true}, 2, 2},
    };
    for (const Step& step : steps) {
        rig.key(step.key);
        EXPECT_TRUE(rig.until([&] {
            return form.presses == step.presses && form.commands == step.commands;
        })) << "after "
            << step.key.code;
    }
    EXPECT_FALSE(form.first.value) << "Alt+B chose the map named a&b.map";
    EXPECT_EQ(form.closes, 0);
    EXPECT_TRUE(rig.active(form));
}

}  // namespace behaviour_cases

#define DORVANE_BEHAVIOUR_CASE(Fixture, Name, function)       \
    TEST_F(Fixture, Name) {                                   \
        ::dorvane::testing::behaviour_cases::function(*this); \
    }

#define DORVANE_BEHAVIOUR_CASES(Fixture)                                                         \
    DORVANE_BEHAVIOUR_CASE(Fixture, ActivationComesWithShowingAndFromAnotherForm, activation)    \
    DORVANE_BEHAVIOUR_CASE(Fixture, FormNotModelessHoldsTheInputTillItsFrameEndsIt, modal_input) \
    DORVANE_BEHAVIOUR_CASE(Fixture, FocusGoesToTheFirstControlComesBackAndTakesText, focus)      \
    DORVANE_BEHAVIOUR_CASE(Fixture, KeysPressButtonsAndRunMenusButNeverAMapName, keys)

}  // namespace dorvane::testing
