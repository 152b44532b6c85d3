// SPDX-License-Identifier: MIT
// The random pick and the mascot through the main window, on the headless backend.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>
#include <utility>

#include "launcher/launcher.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

// The random numbers that draw slot k and frame y.
const auto slot_draw = [](int k) { return (k + 0.5f) / 68; };
const auto frame_draw = [](int y) { return (y - 0.5f) / 4; };

// What a click on Random did: the slot chosen in the window, in the record and as saved; the
// pick's map and frame; the mascot's picture; what it said.
using Pick =
    std::tuple<int, SlotIndex, SlotIndex, std::string, std::optional<int>, Picture, std::string>;

struct RandomPick : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};

    void put(int slot, const std::string& name) {
        main.state.maps[slot].mapname = name;
        main.Option1[slot].caption = name;
    }
    std::string said() {
        std::string out;
        for (const ShownMessage& m : std::exchange(services.messages, {})) {
            EXPECT_EQ(m.buttons, Buttons::Ok);
            out += m.title + ": " + m.prompt;
        }
        return out;
    }
    Pick pick(const std::deque<float>& draws = {}) {
        services.random_values = draws;
        main.Random_Click();
        int chosen = -1;
        for (int k = 0; k < kSlots; ++k)
            chosen = main.Option1[k].value ? (chosen == -1 ? k : -2) : chosen;  // -2: two chosen
        const State& s = main.state;
        return {chosen, s.map, s.selected_map, s.last_map, s.last_pic, main.Wobbin.picture, said()};
    }
};

// The mascot explains itself; Random on an empty catalogue complains and changes nothing. A draw
// of a free slot, or of the last frame again, is drawn again.
TEST_F(RandomPick, DrawsMapToSlotsAndFrames) {
    press(main.Wobbin);
    EXPECT_EQ(said(),
              "This is synonymous with cheeze: This is Wobbin!  Click Random to make him "
              "dance his arse off!  Find some subliminal messages already, ok??");
    main.choose_slot(4);
    EXPECT_EQ(pick(), (Pick{4, 4, 4, "", std::nullopt, Picture::Frame1,
                            "*SHEESH!*: Put some maps in the stupid thing!!!"}));
    put(0, "first.map");
    put(67, "last.map");
    main.choose_slot(10);
    EXPECT_EQ(pick({slot_draw(5), 0.99999994f, 0.75f}),
              (Pick{67, 67, 67, "last.map", 4, Picture::Frame4, ""}));
    EXPECT_EQ(pick({0.0f, frame_draw(4), frame_draw(4), 0.0f}),
              (Pick{0, 0, 0, "first.map", 1, Picture::Frame1, ""}));
    EXPECT_TRUE(services.random_values.empty());
    EXPECT_TRUE(services.started.empty());
}

// Not from another slot either; with no other map in the catalogue nothing happens, silently.
TEST_F(RandomPick, ThePreviousPicksMapIsNotPickedAgain) {
    put(3, "same.map");
    put(9, "same.map");
    EXPECT_EQ(std::get<0>(pick({slot_draw(3), frame_draw(2)})), 3);
    main.choose_slot(2);
    EXPECT_EQ(pick(), (Pick{2, 2, 2, "same.map", 2, Picture::Frame2, ""}));
    put(40, "other.map");
    EXPECT_EQ(pick({slot_draw(9), slot_draw(3), slot_draw(20), slot_draw(40), frame_draw(3)}),
              (Pick{40, 40, 40, "other.map", 3, Picture::Frame3, ""}));
    std::deque<float> draws(2000, frame_draw(3));  // a source stuck on the last frame still ends
    draws.push_front(slot_draw(3));
    EXPECT_NE(std::get<4>(pick(draws)), 3);
}

}  // namespace
}  // namespace dorvane
