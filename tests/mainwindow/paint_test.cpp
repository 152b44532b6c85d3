// SPDX-License-Identifier: MIT
// The main window's paint: colour rounding in the gradient's bands and the slot rows, values a
// hand-edited file may hold, and the hidden labels' samples (the screen: tests/e2e's look).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

// A canvas of the main window's outer size that records the colour of each fill.
struct RecordingCanvas : Canvas {
    std::vector<Colour> fills;
    float unreadable = -1;  // the height of a point that cannot be read back
    double outer_width() const override { return 9750; }
    double outer_height() const override { return 7650; }
    void fill_rect(float, float, float, float, Colour colour) override { fills.push_back(colour); }
    bool shows_point(float, float y) const override { return y != unreadable; }
};

struct Painting : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    State& s = main.state;
    RecordingCanvas canvas;
};

TEST(Compose, RoundsHalvesToEvenAndClampsEachComponent) {
    EXPECT_EQ(compose(0.5, 1.5, 2.5), 0u + 256u * 2 + 65536u * 2);
    EXPECT_EQ(compose(3.5, 254.5, 255.4), 4u + 256u * 254 + 65536u * 255);
    EXPECT_EQ(compose(NAN, -4, 300), 0u + 0 + 65536u * 255);
}

// Band k of 255 and slot row r of 17 lie k and r steps from the top colour toward the bottom
// one, each component rounded.
TEST_F(Painting, BandsAndSlotRowsRoundEachStep) {
    s.BCTTcR = 0, s.BCTTcG = 255, s.BCTTcB = 10, s.BCTBcR = 192, s.BCTBcG = 0, s.BCTBcB = 250;
    s.FCTTcR = 200, s.FCTTcG = 0, s.FCTTcB = 255, s.FCTBcR = 0, s.FCTBcG = 100, s.FCTBcB = 85;
    main.Form_Paint(canvas);
    ASSERT_EQ(canvas.fills.size(), 255u);
    for (int k = 1; k <= 255; ++k) {
        EXPECT_EQ(canvas.fills[k - 1],
                  compose(std::round(192.0 * k / 255), 255 - k, std::round(10 + 240.0 * k / 255)))
            << "band " << k;
    }
    for (int i = 0; i < kSlots; ++i) {
        const int r = i / 4;
        EXPECT_EQ(main.Option1[i].back, compose(std::round(200 - 200.0 * r / 17),
                                                std::round(100.0 * r / 17), 255 - 10 * r))
            << "slot " << i;
    }
}

// A hand-edited file may hold any int: the steps between the limits do not overflow, and each
// button and the map text show their own colour, clamped.
TEST_F(Painting, ComponentsAtTheIntegerLimitsPaintClampedColours) {
    for (ColourField field : kColourFields)
        s.*field = INT_MIN;
    s.BCTBcR = s.BCTBcG = s.BCTBcB = s.FCTTcR = s.FCTTcG = s.FCTTcB = INT_MAX;
    s.tcr = s.bcr = s.dcg = s.scb = s.rcr = s.rcg = INT_MAX;
    main.Form_Paint(canvas);
    EXPECT_EQ(canvas.fills.front(), compose(0, 0, 0));
    EXPECT_EQ(canvas.fills.back(), compose(255, 255, 255));
    EXPECT_EQ(main.Option1[0].back, compose(255, 255, 255));
    EXPECT_EQ(main.Option1[67].back, compose(0, 0, 0));
    EXPECT_EQ(main.Option1[67].fore, compose(255, 0, 0));
    EXPECT_EQ(main.Build.back, compose(255, 0, 0));
    EXPECT_EQ(main.Duke3d.back, compose(0, 255, 0));
    EXPECT_EQ(main.Setup.back, compose(0, 0, 255));
    EXPECT_EQ(main.Random.back, compose(255, 255, 0));
}

// Each hidden label's caption takes the band 500 twips above it, its background the band at its
// lower edge (6200 for the bottom row); a sample that cannot be read hides all five.
TEST_F(Painting, HiddenLabelsTakeTheirBandsAndAnUnreadableSampleHidesAllFive) {
    set_default_colours(s);
    main.Form_Paint(canvas);
    auto band_at = [&](int y) { return canvas.fills[y * 255 / 7650]; };
    for (Control* label : {&main.tttt2, &main.can, &main.Coke, &main.money, &main.dixie}) {
        const bool bottom_row = label != &main.money && label != &main.dixie;
        EXPECT_TRUE(label->visible && label->fore == band_at(label->place.top - 500) &&
                    label->back ==
                        band_at(bottom_row ? 6200 : label->place.top + label->place.height))
            << label->name;
    }
    canvas.unreadable = 4780;  // money's caption sample
    main.Form_Paint(canvas);
    for (Control* label : {&main.tttt2, &main.can, &main.Coke, &main.money, &main.dixie})
        EXPECT_FALSE(label->visible) << label->name;
}

}  // namespace
}  // namespace dorvane
