// SPDX-License-Identifier: MIT
// The event rules (platform/events.h) as a user meets them: one set of cases, run against every
// backend with the user's own input (the headless backend's user events, real X input for FLTK,
// real window messages under Windows). A backend's test gives a fixture that is a BehaviourRig
// and a GoogleTest fixture, and adds DORVANE_BEHAVIOUR_CASES(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/form.h"

namespace dorvane::testing {

class BehaviourRig {
  public:
    virtual ~BehaviourRig() = default;

    // The backend takes the form as one of the program's windows, or lets it go.
    virtual void created(Form& form) = 0;
    virtual void destroyed(Form& form) = 0;
    // Runs a handler as one of the program's events.
    virtual void route(const std::function<void()>& handler) = 0;
    // Runs the backend's events until `done` holds or a few seconds pass; returns whether it held.
    virtual bool until(const std::function<bool()>& done) = 0;
    // Runs the backend's events for a while, for checks that something does NOT happen.
    virtual void settle() = 0;

    // Shows the form from a handler and waits until its window is on the screen.
    virtual bool show(Form& form) = 0;
    // Whether the form's window holds the keyboard.
    virtual bool active(const Form& form) = 0;
    // The control of the form with the keyboard focus; nullptr for none.
    virtual const Control* focused(const Form& form) = 0;

    // The user brings the form's window to the front.
    virtual void switch_to(Form& form) = 0;
    // The user switches to a window of another program.
    virtual void other_program() = 0;
    // A handler asks something in an OK box; the user answers with Enter.
    virtual void message_box() = 0;
    // The user clicks the control.
    virtual void click(Form& form, Control& control) = 0;
    // The user types the letters on the keyboard, into whatever has the focus.
    virtual void type(const std::string& letters) = 0;
    // The user presses the left arrow key.
    virtual void left_arrow() = 0;
    // The user presses the close control of the window's frame.
    virtual void close_frame(Form& form) = 0;
    // The user presses the key, with the modifiers it names, into the window in front.
    virtual void key(Key key) = 0;
    // What the control shows as its caption, as the user reads it (a file list: its first name).
    virtual std::string shown(const Form& form, const Control& control) = 0;
};

// A window with what the cases need: two buttons around a text box, an option group, a file
// list and a menu.
struct CaseForm : Form {
    CaseForm(BehaviourRig& rig, const std::string& name) : Form(name), rig(rig) {
        caption = name + " case";
        client_width = 4500;
        client_height = 3000;
        auto make = [](Control& c, std::string control, ControlKind kind, std::string text,
                       Rect place, int focus) {
            c.name = std::move(control);
            c.kind = kind;
            c.caption = std::move(text);
            c.place = place;
            c.focus_place = focus;
        };
        make(close, "close", ControlKind::CommandButton, "&Close", {120, 120, 1500, 450}, 0);
        make(text, "text", ControlKind::TextBox, "", {120, 720, 2500, 390}, 1);
        make(other, "other", ControlKind::CommandButton, "&Other", {120, 1320, 1500, 450}, 2);
        make(first, "first", ControlKind::OptionButton, "first", {2800, 120, 1500, 300}, 3);
        make(second, "second", ControlKind::OptionButton, "second", {2800, 520, 1500, 300}, 4);
        make(files, "files", ControlKind::FileList, "", {2800, 1000, 1500, 1500}, 5);
        close.click = [this] { ++presses; };
        first.click = [this] { first.value = true; };  // as a slot chooses itself
        controls = {&close, &text, &other, &first, &second, &files};
        menu = {{"File", "File", {{"Exit", "Exit", 'q', [this] { ++commands; }}}, nullptr}};
        rig.created(*this);
    }
    ~CaseForm() override { rig.destroyed(*this); }

    void Form_Activate() override { ++activations; }
    void frame_closed() override {
        ++closes;
        if (on_close)
            on_close();
    }

    BehaviourRig& rig;
    Control close, text, other, first, second, files;
    int activations = 0, closes = 0, presses = 0, commands = 0;
    std::function<void()> on_close;
};

namespace behaviour_cases {

inline void a_form_is_activated_once_when_it_first_shows(BehaviourRig& rig) {
    CaseForm form(rig, "shown");
    ASSERT_TRUE(rig.show(form));
    EXPECT_TRUE(rig.until([&] { return rig.active(form) && form.activations == 1; }));
    rig.settle();
    EXPECT_EQ(form.activations, 1);
    // Hidden and shown again: the next activation counts as the first once more.
    rig.route([&] { form.visible = false; });
    rig.settle();
    ASSERT_TRUE(rig.show(form));
    EXPECT_TRUE(rig.until([&] { return form.activations == 2; }));
}

inline void coming_back_from_a_message_box_or_another_program_activates_nothing(BehaviourRig& rig) {
    CaseForm form(rig, "returns");
    ASSERT_TRUE(rig.show(form));
    ASSERT_TRUE(rig.until([&] { return rig.active(form) && form.activations == 1; }));
    rig.message_box();
    EXPECT_TRUE(rig.until([&] { return rig.active(form); }));
    rig.other_program();
    EXPECT_TRUE(rig.until([&] { return !rig.active(form); }));
    rig.switch_to(form);
    EXPECT_TRUE(rig.until([&] { return rig.active(form); }));
    rig.settle();
    EXPECT_EQ(form.activations, 1);
}

inline void coming_from_another_form_activates(BehaviourRig& rig) {
    CaseForm one(rig, "one"), two(rig, "two");
    ASSERT_TRUE(rig.show(one));
    ASSERT_TRUE(rig.until([&] { return one.activations == 1; }));
    ASSERT_TRUE(rig.show(two));
    ASSERT_TRUE(rig.until([&] { return rig.active(two) && two.activations == 1; }));
    rig.switch_to(one);
    EXPECT_TRUE(rig.until([&] { return one.activations == 2; }));
    rig.switch_to(two);
    EXPECT_TRUE(rig.until([&] { return two.activations == 2; }));
    // Through another program: the program's active form changed all the same.
    rig.other_program();
    rig.switch_to(one);
    EXPECT_TRUE(rig.until([&] { return one.activations == 3; }));
    rig.settle();
    EXPECT_EQ(two.activations, 2);
}

inline void a_form_that_is_not_modeless_holds_the_input(BehaviourRig& rig) {
    CaseForm behind(rig, "behind");
    ASSERT_TRUE(rig.show(behind));
    ASSERT_TRUE(rig.until([&] { return rig.active(behind); }));
    CaseForm modal(rig, "modal");
    modal.modeless = false;
    ASSERT_TRUE(rig.show(modal));
    ASSERT_TRUE(rig.until([&] { return rig.active(modal); }));
    rig.click(behind, behind.close);
    rig.close_frame(behind);
    rig.settle();
    EXPECT_EQ(behind.presses, 0);
    EXPECT_EQ(behind.closes, 0);
    rig.click(modal, modal.close);
    EXPECT_TRUE(rig.until([&] { return modal.presses == 1; }));
    // Once it is gone, the others take input again.
    rig.route([&] { modal.visible = false; });
    rig.settle();
    rig.click(behind, behind.close);
    EXPECT_TRUE(rig.until([&] { return behind.presses == 1; }));
}

inline void a_window_gives_the_focus_to_its_first_control_and_gets_it_back(BehaviourRig& rig) {
    CaseForm form(rig, "focus");
    ASSERT_TRUE(rig.show(form));
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.close; }));
    rig.click(form, form.text);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.text; }));
    // Away to another window and to a message box: the control that had the focus has it again.
    CaseForm elsewhere(rig, "elsewhere");
    ASSERT_TRUE(rig.show(elsewhere));
    ASSERT_TRUE(rig.until([&] { return rig.active(elsewhere); }));
    rig.switch_to(form);
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.text; }));
    rig.click(form, form.other);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.other; }));
    rig.message_box();
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.other; }));
    // Shown anew, the window starts again from its first control; where the buttons are hidden
    // that is the option group's chosen button, not the group's first.
    rig.route([&] {
        form.visible = false;
        form.close.visible = form.text.visible = form.other.visible = false;
        form.second.value = true;
    });
    rig.settle();
    ASSERT_TRUE(rig.show(form));
    EXPECT_TRUE(rig.until([&] { return rig.focused(form) == &form.second; }));
}

inline void the_frames_close_control_runs_frame_closed(BehaviourRig& rig) {
    auto form = std::make_unique<CaseForm>(rig, "closing");
    CaseForm* f = form.get();
    ASSERT_TRUE(rig.show(*f));
    ASSERT_TRUE(rig.until([&] { return rig.active(*f); }));
    int closes = 0;
    f->on_close = [&] {
        closes = f->closes;
        f->retired = true;
    };
    f->release = [&form] { form.reset(); };
    rig.close_frame(*f);
    EXPECT_TRUE(rig.until([&] { return form == nullptr; }));
    EXPECT_EQ(closes, 1);
}

inline void typed_text_becomes_the_text_boxs_caption(BehaviourRig& rig) {
    CaseForm form(rig, "typing");
    ASSERT_TRUE(rig.show(form));
    rig.click(form, form.text);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.text; }));
    rig.type("ac");
    EXPECT_TRUE(rig.until([&] { return form.text.caption == "ac"; }));
    // Each letter was an event with its mirror, which must leave the box as the user has it:
    // the cursor stays where the user put it.
    rig.left_arrow();
    rig.type("b");
    EXPECT_TRUE(rig.until([&] { return form.text.caption == "abc"; }));
    rig.type("d");
    EXPECT_TRUE(rig.until([&] { return form.text.caption == "abdc"; }));
    rig.settle();
    EXPECT_EQ(form.text.caption, "abdc");
    // A button with the focus takes no text.
    rig.click(form, form.other);
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.other; }));
    rig.type("e");
    rig.settle();
    EXPECT_EQ(form.text.caption, "abdc");
}

inline void keys_press_buttons_and_run_menus_but_a_map_name_is_no_access_key(BehaviourRig& rig) {
    CaseForm form(rig, "keys");
    ASSERT_TRUE(rig.show(form));
    ASSERT_TRUE(rig.until([&] { return rig.focused(form) == &form.close; }));
    // A slot and the picker's list holding a map named "a&b.map": data, shown as it is.
    rig.route([&] {
        form.first.caption = "a&b.map";
        form.files.items = {"a&b.map"};
        form.second.value = true;
    });
    EXPECT_EQ(rig.shown(form, form.first), "a&b.map");
    EXPECT_EQ(rig.shown(form, form.files), "a&b.map");
    // Each key and the presses and menu commands by then. A key that must do nothing is followed
    // by one that does something, which is handled after it.
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
        })) << "after '"
            << step.key.code << "': " << form.presses << " presses, " << form.commands
            << " commands";
    }
    EXPECT_FALSE(form.first.value) << "Alt+B chose the map named a&b.map";
    EXPECT_EQ(form.closes, 0);
    EXPECT_TRUE(rig.active(form));
}

}  // namespace behaviour_cases

// The cases as tests of one fixture.
#define DORVANE_BEHAVIOUR_CASE(Fixture, Name, function)       \
    TEST_F(Fixture, Name) {                                   \
        ::dorvane::testing::behaviour_cases::function(*this); \
    }

#define DORVANE_BEHAVIOUR_CASES(Fixture)                                                        \
    DORVANE_BEHAVIOUR_CASE(Fixture, FirstShowingActivatesOnce,                                  \
                           a_form_is_activated_once_when_it_first_shows)                        \
    DORVANE_BEHAVIOUR_CASE(Fixture, MessageBoxOrOtherProgramDoesNotActivate,                    \
                           coming_back_from_a_message_box_or_another_program_activates_nothing) \
    DORVANE_BEHAVIOUR_CASE(Fixture, AnotherFormActivates, coming_from_another_form_activates)   \
    DORVANE_BEHAVIOUR_CASE(Fixture, FormNotModelessHoldsTheInput,                               \
                           a_form_that_is_not_modeless_holds_the_input)                         \
    DORVANE_BEHAVIOUR_CASE(Fixture, FocusGoesToTheFirstControlAndComesBack,                     \
                           a_window_gives_the_focus_to_its_first_control_and_gets_it_back)      \
    DORVANE_BEHAVIOUR_CASE(Fixture, FrameCloseRunsFrameClosed,                                  \
                           the_frames_close_control_runs_frame_closed)                          \
    DORVANE_BEHAVIOUR_CASE(Fixture, TypedTextBecomesTheCaption,                                 \
                           typed_text_becomes_the_text_boxs_caption)                            \
    DORVANE_BEHAVIOUR_CASE(Fixture, KeysPressButtonsAndRunMenusButNeverAMapName,                \
                           keys_press_buttons_and_run_menus_but_a_map_name_is_no_access_key)

}  // namespace dorvane::testing
