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

}  // namespace
}  // namespace dorvane
