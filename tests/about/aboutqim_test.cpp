// SPDX-License-Identifier: MIT
#include "about/aboutqim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct AboutBox : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    Aboutqim& open() {
        main.About_Click();
        return *main.about_box;
    }
    // Opened by the user: the box comes on the screen as the active window.
    Aboutqim& show() {
        services.route([this] { main.About_Click(); });
        return *main.about_box;
    }
    long boxes() const {
        return std::count_if(services.forms.begin(), services.forms.end(),
                             [](const Form* f) { return f->name == "Aboutqim"; });
    }
};

TEST_F(AboutBox, AboutTwiceLeavesOneVisibleBox) {
    Aboutqim& box = open();
    EXPECT_EQ(&open(), &box);
    EXPECT_TRUE(box.visible);
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(box.caption, "About Dorvane");
    EXPECT_EQ(box.back, compose(192, 192, 192));
    EXPECT_EQ(box.client_width, 5145);
    EXPECT_EQ(box.client_height, 3390);
}

TEST_F(AboutBox, CloseButtonLeadsTheFocusOrderAndHidesTheBoxForLater) {
    Aboutqim& box = open();
    std::vector<std::string> focus;
    for (const Control* c : box.controls) {
        if (c->focus_place >= 0) {
            EXPECT_EQ(c->focus_place, static_cast<int>(focus.size())) << c->name;
            focus.push_back(c->name);
        }
    }
    EXPECT_EQ(focus,
              (std::vector<std::string>{"closeabout", "Text1", "Text2", "Text3", "Command1"}));

    press(box.closeabout);  // what Enter does right after opening
    EXPECT_FALSE(box.visible);
    EXPECT_EQ(main.about_box.get(), &box) << "hidden, not destroyed";
    EXPECT_TRUE(open().visible);
    EXPECT_EQ(boxes(), 1);

    // Shown by the user, every time, the box has its close button focused, for Enter.
    services.route([&box] { box.visible = false; });
    for (int i = 0; i < 2; ++i) {
        show();
        EXPECT_EQ(services.active_window(), &box);
        EXPECT_EQ(services.focus(), &box.closeabout);
        ASSERT_TRUE(services.click(box, box.Text2));
        EXPECT_EQ(services.focus(), &box.Text2);
        services.route([&box] { press(box.closeabout); });  // its access key, say
        EXPECT_FALSE(box.visible);
    }
}

// The box needs nothing of the main window: made over the services alone, it answers the same.
TEST(AboutBoxAlone, AnswerExplainsTheJokeInOneMessage) {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Aboutqim box{services, services};
    box.visible = true;
    press(box.Command1);
    ASSERT_EQ(services.messages.size(), 1u);
    const ShownMessage& shown = services.messages[0];
    EXPECT_EQ(shown.title, "101010b is the answer!!!");
    EXPECT_EQ(shown.buttons, Buttons::Ok);
    const std::string opening =
        "That's right.  The answer to life, the universe and everything has been found.  "
        "It's 42.  ";
    ASSERT_EQ(shown.prompt.compare(0, opening.size(), opening), 0) << shown.prompt;
    std::string closing = shown.prompt.substr(opening.size());
    EXPECT_NE(closing.find("read"), std::string::npos);
    EXPECT_NE(closing.find("book"), std::string::npos);
    EXPECT_EQ(closing.back(), '.');
    EXPECT_EQ(closing.find(". "), std::string::npos) << "one closing sentence";
    EXPECT_TRUE(box.visible);
}

TEST_F(AboutBox, FrameCloseDestroysAndTheNextAboutBuildsAFreshBox) {
    Aboutqim& box = show();
    services.close_frame(box);
    EXPECT_EQ(main.about_box, nullptr);
    EXPECT_EQ(boxes(), 0);
    Aboutqim& fresh = open();
    EXPECT_TRUE(fresh.visible);
    EXPECT_EQ(boxes(), 1);
}

// A frame close inside an event that is not over yet (a message box's own events) only hides
// the box until that event ends; an About in the same event gets a fresh box at once.
TEST_F(AboutBox, AboutAfterAFrameCloseInTheSameEventShowsAFreshBox) {
    Aboutqim& first = show();
    Aboutqim* fresh = nullptr;
    services.route([&] {
        services.close_frame(first);
        EXPECT_FALSE(first.visible);
        EXPECT_EQ(main.about_box.get(), &first) << "kept until the event is over";
        fresh = &open();
        EXPECT_NE(fresh, &first);
        EXPECT_TRUE(fresh->visible);
    });
    EXPECT_EQ(main.about_box.get(), fresh);
    EXPECT_EQ(boxes(), 1);
    services.close_frame(*fresh);
    EXPECT_EQ(main.about_box, nullptr);
    EXPECT_EQ(boxes(), 0);
}

}  // namespace
}  // namespace dorvane
