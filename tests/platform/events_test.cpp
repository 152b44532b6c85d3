// SPDX-License-Identifier: MIT
#include "platform/events.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace dorvane {
namespace {

// A program of two windows whose second one retires itself when its frame is closed.
struct Program {
    std::vector<std::string> log;
    EventRules events{[this](Form& form) { log.push_back("drop " + form.name); },
                      [this] { log.push_back("mirror"); }};
    std::unique_ptr<Form> main = std::make_unique<Form>("main");
    std::unique_ptr<Form> dialog = std::make_unique<Form>("dialog");

    Program() {
        events.created(*main);
        events.created(*dialog);
        dialog->release = [this] {
            log.push_back("release");
            dialog.reset();
        };
    }
};

TEST(EventRules, RetiresAWindowOnlyOnceTheOutermostEventIsOver) {
    Program p;
    p.events.route([&p] {
        p.dialog->retired = true;
        // A message box inside the handler takes an event of its own: the dialog must survive it.
        p.events.route([&p] { p.log.push_back("inner " + p.dialog->name); });
        p.log.push_back("outer goes on with " + p.dialog->name);
    });
    EXPECT_EQ(p.log,
              (std::vector<std::string>{"inner dialog", "mirror", "outer goes on with dialog",
                                        "drop dialog", "release", "mirror"}));
    EXPECT_EQ(p.dialog, nullptr);
    ASSERT_EQ(p.events.forms().size(), 1u);
    EXPECT_EQ(p.events.forms()[0], p.main.get());
}

TEST(EventRules, KeepsEveryWindowNobodyRetiredAndListsThemOnce) {
    Program p;
    p.events.created(*p.main);  // a second report of the same window changes nothing
    p.events.route([] {});
    EXPECT_EQ(p.log, std::vector<std::string>{"mirror"});
    EXPECT_EQ(p.events.forms().size(), 2u);
    p.events.destroyed(*p.dialog);
    p.events.route([&p] { p.dialog->retired = true; });  // no longer the backend's: not dropped
    EXPECT_NE(p.dialog, nullptr);
    EXPECT_EQ(p.events.forms().size(), 1u);
}

TEST(EventRules, ARetiredWindowWithoutOwnerIsDroppedAndTheEventStillMirrors) {
    Program p;
    p.main->retired = true;
    p.events.route(nullptr);
    EXPECT_EQ(p.log, (std::vector<std::string>{"drop main", "mirror"}));
    EXPECT_NE(p.main, nullptr);  // nobody set `release`: the form itself is its owner's
}

TEST(EventRules, TheFormShownLastOfThoseNotModelessHoldsTheInput) {
    Program p;
    Form second("second");
    p.events.created(second);
    EXPECT_TRUE(p.events.takes_input(*p.main));
    for (Form* f : {p.dialog.get(), &second}) {
        f->modeless = false;
        f->visible = true;
        p.events.shown(*f);
    }
    EXPECT_FALSE(p.events.takes_input(*p.main));
    EXPECT_FALSE(p.events.takes_input(*p.dialog));
    EXPECT_TRUE(p.events.takes_input(second));
    second.visible = false;
    EXPECT_TRUE(p.events.takes_input(*p.dialog));
    p.dialog->visible = false;
    EXPECT_TRUE(p.events.takes_input(*p.main));
    p.events.destroyed(second);
}

TEST(EventRules, FocusGoesToTheFirstControlInFocusOrderThatCanTakeIt) {
    Form form("form");
    Control label{.name = "label", .kind = ControlKind::Label, .focus_place = 0};
    Control frame{.name = "frame", .kind = ControlKind::Frame, .focus_place = -1};
    Control framed{.name = "framed", .kind = ControlKind::CommandButton, .focus_place = 1};
    Control option{.name = "option", .kind = ControlKind::OptionButton, .focus_place = 2};
    Control chosen{.name = "chosen", .kind = ControlKind::OptionButton, .focus_place = 3};
    Control text{.name = "text", .kind = ControlKind::TextBox, .focus_place = 4};
    Control unreachable{.name = "unreachable", .kind = ControlKind::TextBox, .focus_place = -1};
    framed.parent = &frame;
    chosen.value = true;
    // Made in another order than the focus order.
    form.controls = {&unreachable, &text, &chosen, &option, &framed, &frame, &label};
    EXPECT_EQ(EventRules::first_focus(form), &framed);
    frame.visible = false;
    EXPECT_EQ(EventRules::first_focus(form), &chosen) << "a group takes it at its chosen button";
    chosen.visible = false;
    EXPECT_EQ(EventRules::first_focus(form), &text);
    text.visible = false;
    EXPECT_EQ(EventRules::first_focus(form), nullptr);
}

TEST(EventRules, TypedTextIsAnEventOnlyForATextBoxWhoseTextChanged) {
    Program p;
    Control box{.name = "box", .kind = ControlKind::TextBox, .caption = "IS"};
    Control button{.name = "button", .kind = ControlKind::CommandButton, .caption = "&Go"};
    p.events.typed(box, "IS");
    p.events.typed(button, "typed");
    EXPECT_TRUE(p.log.empty());
    EXPECT_EQ(button.caption, "&Go");
    p.events.typed(box, "ISx");
    EXPECT_EQ(box.caption, "ISx");
    EXPECT_EQ(p.log, std::vector<std::string>{"mirror"});
}

TEST(EventRules, AnActivationThatEndsItsWindowGivesNoFocus) {
    struct Ending : Form {
        Control button{.name = "button", .kind = ControlKind::CommandButton, .focus_place = 0};
        Ending() : Form("ending") { controls = {&button}; }
        void Form_Activate() override { retired = true; }
    };
    Program p;
    auto ending = std::make_unique<Ending>();
    p.events.created(*ending);
    ending->release = [&ending] { ending.reset(); };
    p.events.shown(*ending);
    EXPECT_EQ(p.events.activated(*ending), nullptr);
    EXPECT_EQ(ending, nullptr);
    EXPECT_EQ(p.events.active(), nullptr);
}

// What the shared behaviour cases cannot reach on every backend: hidden buttons, the menu
// titles, the keys the rules pass on, and the end from outside.
TEST(EventRules, KeysTheBehaviourCasesLeaveOut) {
    using Use = KeyOutcome::Use;
    Program p;
    Form& form = *p.main;
    Control frame{.name = "frame", .kind = ControlKind::Frame, .visible = false};
    Control hidden{.name = "hidden", .kind = ControlKind::CommandButton, .caption = "&Go"};
    Control list{.name = "list", .kind = ControlKind::List};
    hidden.parent = &frame;
    hidden.click = [&p] { p.log.push_back("go"); };
    form.controls = {&frame, &hidden, &list};
    form.menu = {{"File", "File", {}, nullptr}, {"Tools", "&Tools", {}, nullptr}};
    EXPECT_EQ(p.events.key(form, nullptr, {'g', true}).use, Use::Taken) << "and dropped";
    EXPECT_EQ(p.events.key(form, nullptr, {'f', true}).use, Use::Taken) << "no first letter";
    KeyOutcome tools = p.events.key(form, nullptr, {'t', true});
    EXPECT_EQ(tools.use, Use::OpenMenu);
    EXPECT_EQ(tools.menu, 1);
    EXPECT_EQ(p.events.key(form, nullptr, {'t', true, true}).use, Use::Passed) << "AltGr";
    EXPECT_EQ(p.events.key(form, &list, {Key::kEscape}).use, Use::Passed) << "closes the list";
    EXPECT_EQ(p.events.key(form, &list, {Key::kEnter}).use, Use::Passed);
    p.dialog->modeless = false;
    p.dialog->visible = true;
    p.events.shown(*p.dialog);
    EXPECT_EQ(p.events.key(form, nullptr, {'t', true}).use, Use::Passed) << "the dialog holds it";
    EXPECT_TRUE(p.log.empty());

    p.events.end_from_outside([&p] { p.log.push_back("end"); });
    p.events.ended_from_outside();
    p.events.ended_from_outside();
    EXPECT_EQ(p.log, (std::vector<std::string>{"end", "mirror"}));
}

}  // namespace
}  // namespace dorvane
