// SPDX-License-Identifier: MIT
// The main window's paint: colour rounding in the gradient's bands and the slot rows, values a
// hand-edited file may hold, and the hidden labels' samples. The screen itself is checked by the
// paint scenario of tests/e2e.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <vector>

#include "catalogue/state.h"
#include "mainwindow/dorvane.h"
#include "platform/headless/headless.h"
#include "support/temp_folder.h"

namespace dorvane {
namespace {

// A canvas of the main window's outer size that records the colour of each fill.
struct RecordingCanvas : Canvas {
    std::vector<Colour> fills;
    std::function<bool(float)> readable = [](float) { return true; };
    double outer_width() const override { return 9750; }
    double outer_height() const override { return 7650; }
    void fill_rect(float, float, float, float, Colour colour) override { fills.push_back(colour); }
    bool shows_point(float, float y) const override { return readable(y); }
};

struct Painting : ::testing::Test {
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    RecordingCanvas canvas;
    Painting() { set_default_colours(main.state); }
    std::vector<Control*> labels() {
        return {&main.tttt2, &main.can, &main.Coke, &main.money, &main.dixie};
    }
};

TEST(Compose, RoundsHalvesToEvenAndClampsEachComponent) {
    EXPECT_EQ(compose(1, 2, 3), 1u + 256u * 2 + 65536u * 3);
    EXPECT_EQ(compose(0.5, 1.5, 2.5), 0u + 256u * 2 + 65536u * 2);
    EXPECT_EQ(compose(3.5, 254.5, 0.49), 4u + 256u * 254 + 0);
    EXPECT_EQ(compose(300, -4, 255.4), 255u + 0 + 65536u * 255);
    EXPECT_EQ(compose(NAN, 0, 0), 0u);
}

TEST_F(Painting, BandsAndSlotRowsRoundEachStep) {
    // Red 0 to 192 over 255 bands; green 0 to 100 over the 17 slot rows. The default colours'
    // whole steps are checked on the screen (tests/e2e/test_main_look.py).
    main.state.BCTBcR = 192, main.state.BCTBcB = 0;
    main.state.FCTBcG = 100;
    main.Form_Paint(canvas);
    ASSERT_EQ(canvas.fills.size(), 255u);
    for (std::size_t k = 0; k < 255; ++k) {
        EXPECT_EQ(colour_red(canvas.fills[k]), std::lround(192.0 * (k + 1) / 255)) << k;
        EXPECT_EQ(colour_blue(canvas.fills[k]), 0) << k;
    }
    for (int k = 0; k < kSlots; ++k)
        EXPECT_EQ(colour_green(*main.Option1[k].back), std::lround(100.0 * (k / 4) / 17)) << k;
}

// A hand-edited file may hold any int: the steps between the limits do not overflow.
TEST_F(Painting, ComponentsAtTheIntegerLimitsPaintClampedColours) {
    State& s = main.state;
    for (ColourField field : kColourFields)
        s.*field = INT_MIN;
    s.BCTBcR = s.BCTBcG = s.BCTBcB = INT_MAX;
    s.FCTTcR = s.FCTTcG = s.FCTTcB = INT_MAX;
    s.tcr = INT_MAX;
    main.Form_Paint(canvas);
    EXPECT_EQ(canvas.fills.front(), compose(0, 0, 0));
    EXPECT_EQ(canvas.fills.back(), compose(255, 255, 255));
    EXPECT_EQ(main.Option1[0].back, compose(255, 255, 255));
    EXPECT_EQ(main.Option1[67].back, compose(0, 0, 0));
    EXPECT_EQ(main.Option1[0].fore, compose(255, 0, 0));
}

TEST_F(Painting, HiddenLabelsTakeTheirBandsAndAnUnreadableSampleHidesAllFive) {
    main.Form_Paint(canvas);
    auto band_at = [&](double y) { return canvas.fills[static_cast<int>(y / (7650.0 / 255))]; };
    for (Control* label : labels()) {
        EXPECT_TRUE(label->visible) << label->name;
        EXPECT_EQ(label->fore, band_at(label->place.top - 500)) << label->name;
    }
    EXPECT_EQ(main.tttt2.back, band_at(6200));
    EXPECT_EQ(main.money.back, band_at(5535));
    canvas.readable = [](float y) { return y != 4780; };  // money's caption sample
    main.Form_Paint(canvas);
    for (Control* label : labels())
        EXPECT_FALSE(label->visible) << label->name;
}

}  // namespace
}  // namespace dorvane
