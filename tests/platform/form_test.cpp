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
    // A letter outside ASCII keeps its bytes in every locale.
    c.caption = "&\xc9t\xe9";
    EXPECT_EQ(c.access_key(), '\xc9');
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

TEST(SelectedItem, NamesAnItemOnlyWhileTheIndexReachesOne) {
    Control list;
    list.kind = ControlKind::FileList;
    EXPECT_EQ(list.selected_index(), -1);
    EXPECT_EQ(list.selected_item(), "");
    list.items = {"a.map", "b.map"};
    list.list_index = 1;
    EXPECT_EQ(list.selected_index(), 1);
    EXPECT_EQ(list.selected_item(), "b.map");
    list.list_index = 0;
    EXPECT_EQ(list.selected_item(), "a.map");
    // The items shrank under a stale index, or a backend stored an odd one.
    for (int stale : {2, 7, -1, -2}) {
        list.list_index = stale;
        EXPECT_EQ(list.selected_index(), -1) << stale;
        EXPECT_EQ(list.selected_item(), "") << stale;
    }
    list.list_index = 1;
    list.items.pop_back();
    EXPECT_EQ(list.selected_item(), "");
}

}  // namespace
}  // namespace dorvane
