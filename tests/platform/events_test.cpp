// SPDX-License-Identifier: MIT
// What the shared behaviour cases cannot reach on every backend: nested events, several modal
// forms, focus over hidden frames, the keys passed on and the end from outside.
#include "platform/events.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace dorvane {
namespace {

// A program of two windows; the dialog frees itself once it is retired.
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

TEST(EventRules, RetiresWindowsOnlyOnceTheOutermostEventIsOverAndEndsFromOutsideOnce) {
    Program p;
    p.events.route([&p] {
        p.main->retired = p.dialog->retired = true;
        // A message box inside the handler takes an event of its own: the dialog must survive it.
        p.events.route([&p] { p.log.push_back("inner " + p.dialog->name); });
        p.log.push_back("outer goes on with " + p.dialog->name);
    });
    EXPECT_EQ(p.dialog, nullptr);
    EXPECT_TRUE(p.events.forms().empty());
    p.events.route(nullptr);
    p.events.end_from_outside([&p] { p.log.push_back("end"); });
    p.events.ended_from_outside();
    p.events.ended_from_outside();
    EXPECT_EQ(p.log, (std::vector<std::string>{
                         "inner dialog", "mirror", "outer goes on with dialog", "drop main",
                         "drop dialog", "release", "mirror", "mirror", "end", "mirror"}));
}

TEST(EventRules, FocusGoesToTheFirstControlInFocusOrderThatCanTakeIt) {
    using K = ControlKind;
    Control label{.kind = K::Label, .focus_place = 0};
    Control frame{.kind = K::Frame};
    Control framed{.kind = K::CommandButton, .focus_place = 1, .parent = &frame};
    Control text{.kind = K::TextBox, .focus_place = 4};
    Control unreachable{.kind = K::TextBox};
    Form form("form");
    form.controls = {&unreachable, &text, &framed, &frame, &label};  // not in focus order
    EXPECT_EQ(EventRules::first_focus(form), &framed);
    frame.visible = false;  // and with it what it holds
    EXPECT_EQ(EventRules::first_focus(form), &text);
    text.visible = false;
    EXPECT_EQ(EventRules::first_focus(form), nullptr);
}

TEST(EventRules, TheFormShownLastOfThoseNotModelessTakesTheInputAndTheKeys) {
    using Use = KeyOutcome::Use;
    Program p;
    Form second("second");
    p.events.created(second);
    for (Form* f : {&second, p.dialog.get()}) {  // shown in another order than made
        f->modeless = false;
        f->visible = true;
        p.events.shown(*f);
    }
    Form &main = *p.main, &dialog = *p.dialog;
    Control frame{.kind = ControlKind::Frame, .visible = false};
    Control hidden{.kind = ControlKind::CommandButton, .caption = "&Go", .parent = &frame};
    Control list{.kind = ControlKind::List};
    Control box{.kind = ControlKind::TextBox, .caption = "IS"};
    hidden.click = [&p] { p.log.push_back("go"); };
    dialog.controls = {&frame, &hidden, &list};
    main.menu = dialog.menu = {
        {"File", "File", {{"Exit", "Exit", 'q', [&p] { p.log.push_back("exit"); }}}, nullptr},
        {"Tools", "&Tools", {}, nullptr}};
    const std::tuple<Form&, Control*, Key, Use> keys[] = {
        {dialog, nullptr, {'g', true}, Use::Taken},         // a hidden button's: dropped
        {dialog, nullptr, {'f', true}, Use::Taken},         // no title's first letter either
        {dialog, nullptr, {'t', true, true}, Use::Passed},  // AltGr
        {dialog, &list, {Key::kEscape}, Use::Passed},       // closes the list
        {dialog, &list, {Key::kEnter}, Use::Passed},
        {main, nullptr, {'t', true}, Use::Passed},  // the dialog holds the input
        {main, nullptr, {'q', false, true}, Use::Passed},
    };
    for (const auto& [form, focus, key, use] : keys)
        EXPECT_EQ(p.events.key(form, focus, key).use, use) << form.name << key.code;
    KeyOutcome tools = p.events.key(dialog, nullptr, {'t', true});
    EXPECT_EQ(tools.use, Use::OpenMenu);
    EXPECT_EQ(tools.menu, 1);
    // Typing is an event only for a text box whose text it changes.
    p.events.typed(box, "IS");
    p.events.typed(hidden, "typed");
    EXPECT_TRUE(p.log.empty());
    EXPECT_FALSE(p.events.takes_input(second));
    dialog.visible = false;
    EXPECT_TRUE(p.events.takes_input(second));
    EXPECT_FALSE(p.events.takes_input(main));
    p.events.destroyed(second);
}

}  // namespace
}  // namespace dorvane
