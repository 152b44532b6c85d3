// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

struct RandomPick : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    void put(int slot, const std::string& name) {
        main.state.maps[slot].mapname = name;
        main.Option1[slot].caption = name;
    }
    // The random number that draws slot k.
    static float slot_draw(int k) { return (k + 0.5f) / 68; }
    static float frame_draw(int y) { return (y - 0.5f) / 4; }
    int chosen() const {
        int found = -1;
        for (int k = 0; k < kSlots; ++k) {
            if (main.Option1[k].value) {
                EXPECT_EQ(found, -1);
                found = k;
            }
        }
        return found;
    }
};

TEST_F(RandomPick, EmptyCatalogueComplainsAndChangesNothing) {
    main.choose_slot(4);
    main.Random_Click();
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].prompt, "Put some maps in the stupid thing!!!");
    EXPECT_EQ(services.messages[0].title, "*SHEESH!*");
    EXPECT_EQ(services.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(chosen(), 4);
    EXPECT_EQ(main.state.map, 4);
    EXPECT_EQ(main.Wobbin.picture, Picture::Frame1);
    EXPECT_FALSE(main.state.last_pic.has_value());
    EXPECT_TRUE(main.state.last_map.empty());
}

TEST_F(RandomPick, DrawsMapToSlotsAndFrames) {
    put(0, "first.map");
    put(67, "last.map");
    main.choose_slot(10);
    services.random_values = {slot_draw(5), 0.99999994f, 0.75f};
    main.Random_Click();
    EXPECT_EQ(chosen(), 67);
    EXPECT_EQ(main.state.map, 67);
    EXPECT_EQ(main.state.selected_map, 67);
    EXPECT_EQ(main.state.last_map, "last.map");
    EXPECT_EQ(main.state.last_pic, 4);
    EXPECT_EQ(main.Wobbin.picture, Picture::Frame4);

    services.random_values = {0.0f, frame_draw(4), frame_draw(4), 0.0f};
    main.Random_Click();
    EXPECT_EQ(chosen(), 0);
    EXPECT_EQ(main.state.last_pic, 1);
    EXPECT_EQ(main.Wobbin.picture, Picture::Frame1);
    EXPECT_TRUE(services.random_values.empty());
    EXPECT_TRUE(services.started.empty());
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(RandomPick, OneFilledSlotIsPickedOnceThenNothingHappens) {
    put(30, "only.map");
    main.choose_slot(2);
    main.Random_Click();
    EXPECT_EQ(chosen(), 30);
    Picture after_first = main.Wobbin.picture;
    main.choose_slot(2);
    main.Random_Click();
    EXPECT_EQ(chosen(), 2);
    EXPECT_EQ(main.Wobbin.picture, after_first);
    EXPECT_EQ(main.state.last_map, "only.map");
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(RandomPick, SameNameInTwoSlotsIsNotPickedTwiceInARow) {
    put(3, "same.map");
    put(9, "same.map");
    put(40, "other.map");
    services.random_values = {slot_draw(3), frame_draw(2)};
    main.Random_Click();
    ASSERT_EQ(chosen(), 3);
    services.random_values = {slot_draw(9), slot_draw(3), slot_draw(20), slot_draw(40),
                              frame_draw(3)};
    main.Random_Click();
    EXPECT_EQ(chosen(), 40);
    EXPECT_EQ(main.state.last_map, "other.map");
}

TEST_F(RandomPick, SuccessivePicksNeverRepeatMapOrFrame) {
    for (int k : {1, 8, 33, 60})
        put(k, "map" + std::to_string(k) + ".map");
    std::string last_map;
    Picture last_picture = Picture::None;
    std::set<Picture> seen;
    for (int i = 0; i < 300; ++i) {
        main.Random_Click();
        EXPECT_NE(main.state.last_map, last_map);
        EXPECT_NE(main.Wobbin.picture, last_picture);
        EXPECT_EQ(main.Option1[*main.state.map].caption, main.state.last_map);
        last_map = main.state.last_map;
        last_picture = main.Wobbin.picture;
        seen.insert(last_picture);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_TRUE(services.messages.empty());
}

TEST_F(RandomPick, SourceStuckOnTheLastFrameStillEnds) {
    put(5, "a.map");
    put(6, "b.map");
    main.state.last_pic = 2;
    services.random_values.assign(2000, frame_draw(2));
    services.random_values.push_front(slot_draw(5));
    main.Random_Click();
    EXPECT_NE(main.state.last_pic, 2);
    EXPECT_NE(main.Wobbin.picture, Picture::Frame2);
}

TEST_F(RandomPick, MascotClickExplainsItself) {
    main.Wobbin_Click();
    press(main.Wobbin);
    ASSERT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(services.messages[0].prompt,
              "This is Wobbin!  Click Random to make him dance his arse off!  Find some "
              "subliminal messages already, ok??");
    EXPECT_EQ(services.messages[0].title, "This is synonymous with cheeze");
    EXPECT_EQ(services.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(main.Wobbin.picture, Picture::Frame1);
}

}  // namespace
}  // namespace dorvane
