// SPDX-License-Identifier: MIT
#include "platform/form.h"

#include <gtest/gtest.h>

namespace dorvane {
namespace {

TEST(AccessKey, IsTheLetterAfterTheFirstSingleAmpersand) {
    Control c;
    c.caption = "Run In &Duke3d";
    EXPECT_EQ(c.access_key(), 'd');
    c.caption = "Salt && &Pepper";
    EXPECT_EQ(c.access_key(), 'p');
    c.caption = "Ok";
    EXPECT_EQ(c.access_key(), 0);
    c.caption = "trailing&";
    EXPECT_EQ(c.access_key(), 0);
}

struct TwoGroups : Form {
    TwoGroups() : Form("test") {
        frame.kind = ControlKind::Frame;
        for (auto* c : {&a, &b, &in_frame})
            c->kind = ControlKind::OptionButton;
        in_frame.parent = &frame;
        a.click = [this] { clicks.push_back("a"); };
        b.click = [this] { clicks.push_back("b"); };
        controls = {&a, &b, &frame, &in_frame};
    }
    Control a, b, frame, in_frame;
    std::vector<std::string> clicks;
};

TEST(ChooseOption, UnchoosesOnlyItsOwnGroupAndRunsTheHandler) {
    TwoGroups form;
    form.in_frame.value = true;
    choose_option(form, form.a);
    choose_option(form, form.b);
    EXPECT_FALSE(form.a.value);
    EXPECT_TRUE(form.b.value);
    EXPECT_TRUE(form.in_frame.value);
    EXPECT_EQ(form.clicks, (std::vector<std::string>{"a", "b"}));
}

TEST(SelectItem, SetsTheIndexBeforeTheHandlerRuns) {
    Control list;
    list.kind = ControlKind::List;
    list.items = {"Black", "Blue"};
    int seen = -2;
    list.click = [&] { seen = list.list_index; };
    select_item(list, 1);
    EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace dorvane
