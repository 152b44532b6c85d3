// SPDX-License-Identifier: MIT
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

struct Fill {
    float y1, y2, x2;
    Colour colour;
};

// A canvas of the given outer size that records its fills; every point of the client area can
// be read unless the test says otherwise.
struct RecordingCanvas : Canvas {
    double width = 9750, height = 7650;
    std::vector<Fill> fills;
    std::function<bool(float, float)> readable = [](float, float) { return true; };

    double outer_width() const override { return width; }
    double outer_height() const override { return height; }
    void fill_rect(float, float y1, float x2, float y2, Colour colour) override {
        fills.push_back({y1, y2, x2, colour});
    }
    bool shows_point(float x, float y) const override { return readable(x, y); }
};

struct Painting : ::testing::Test {
    Painting() { set_default_colours(main.state); }
    testing::TempFolder folder;
    HeadlessServices services{folder.str()};
    Dorvane main{services};
    RecordingCanvas canvas;

    std::vector<Control*> labels() {
        return {&main.tttt2, &main.can, &main.Coke, &main.money, &main.dixie};
    }
};

Colour rgb(int r, int g, int b) {
    return compose(r, g, b);
}

TEST_F(Painting, DefaultGradientRunsFromOneStepBelowBlackToMagenta) {
    main.Form_Paint(canvas);
    ASSERT_EQ(canvas.fills.size(), 255u);
    EXPECT_EQ(canvas.fills.front().colour, rgb(1, 0, 1));
    EXPECT_EQ(canvas.fills[1].colour, rgb(2, 0, 2));
    EXPECT_EQ(canvas.fills.back().colour, rgb(255, 0, 255));
    // The bands tile the whole outer height and width.
    EXPECT_FLOAT_EQ(canvas.fills.front().y1, 0);
    EXPECT_NEAR(canvas.fills.back().y2, canvas.height, 1e-3);
    EXPECT_FLOAT_EQ(canvas.fills.front().x2, canvas.width);
    for (std::size_t k = 1; k < canvas.fills.size(); ++k)
        EXPECT_NEAR(canvas.fills[k].y1, canvas.fills[k - 1].y2, 1e-3);
}

TEST_F(Painting, DefaultSlotRowsStepDownFifteenAndCaptionsAreWhite) {
    main.Form_Paint(canvas);
    for (int k = 0; k < 17; ++k) {
        for (int j = 0; j < 4; ++j) {
            const Control& slot = main.Option1[4 * k + j];
            EXPECT_EQ(slot.back, rgb(255 - 15 * k, 0, 255 - 15 * k)) << slot.name;
            EXPECT_EQ(slot.fore, rgb(255, 255, 255)) << slot.name;
        }
    }
}

TEST_F(Painting, ButtonFacesTakeTheirColours) {
    main.Form_Paint(canvas);
    EXPECT_EQ(main.Duke3d.back, rgb(0, 255, 0));
    EXPECT_EQ(main.Build.back, rgb(255, 0, 0));
    EXPECT_EQ(main.Setup.back, rgb(255, 255, 0));
    EXPECT_EQ(main.Random.back, rgb(0, 0, 255));
    main.state.bcr = 192, main.state.bcg = 192, main.state.BCB = 192;
    main.Form_Paint(canvas);
    EXPECT_EQ(main.Build.back, rgb(192, 192, 192));
}

TEST_F(Painting, AComponentFromZeroTo192RoundsEachBand) {
    main.state.BCTBcR = 192, main.state.BCTBcB = 0;
    main.Form_Paint(canvas);
    EXPECT_EQ(colour_red(canvas.fills[0].colour), 1);  // 0.753
    EXPECT_EQ(colour_red(canvas.fills[1].colour), 2);  // 1.506
    EXPECT_EQ(colour_red(canvas.fills[254].colour), 192);
    for (std::size_t k = 0; k < 255; ++k)
        EXPECT_EQ(colour_red(canvas.fills[k].colour), std::lround(192.0 * (k + 1) / 255)) << k;
}

TEST_F(Painting, EqualEndsGiveUniformBandsAndRows) {
    State& s = main.state;
    s.BCTTcR = s.BCTBcR = 10, s.BCTTcG = s.BCTBcG = 20, s.BCTTcB = s.BCTBcB = 30;
    s.FCTTcR = s.FCTBcR = 0, s.FCTTcG = s.FCTBcG = 128, s.FCTTcB = s.FCTBcB = 64;
    main.Form_Paint(canvas);
    for (const Fill& fill : canvas.fills)
        EXPECT_EQ(fill.colour, rgb(10, 20, 30));
    for (const Control& slot : main.Option1)
        EXPECT_EQ(slot.back, rgb(0, 128, 64));
}

TEST_F(Painting, HiddenLabelsAreShownInTheGradientAtTheirSampleHeights) {
    for (Control* label : labels())
        label->visible = false;
    main.Form_Paint(canvas);
    const double band = canvas.height / 255;
    auto band_at = [&](double y) { return canvas.fills[static_cast<int>(y / band)].colour; };
    for (Control* label : labels()) {
        EXPECT_TRUE(label->visible) << label->name;
        EXPECT_EQ(label->fore, band_at(label->place.top - 500)) << label->name;
    }
    EXPECT_EQ(main.tttt2.back, band_at(6200));
    EXPECT_EQ(main.Coke.back, band_at(6200));
    EXPECT_EQ(main.money.back, band_at(5535));
    EXPECT_EQ(main.dixie.back, band_at(3975));
    // The samples follow a label that moved.
    main.dixie.place.top = 1000;
    main.Form_Paint(canvas);
    EXPECT_EQ(main.dixie.fore, band_at(500));
    EXPECT_EQ(main.dixie.back, band_at(1255));
}

TEST_F(Painting, AnUnreadableSampleHidesAllFiveUntilTheNextGoodPaint) {
    // Only the sample for money's caption (4780) cannot be read.
    canvas.readable = [](float, float y) { return y != 4780; };
    main.Form_Paint(canvas);
    for (Control* label : labels())
        EXPECT_FALSE(label->visible) << label->name;
    // Labels sampled before the failure keep their new colours; the rest keep none.
    EXPECT_TRUE(main.Coke.back.has_value());
    EXPECT_FALSE(main.money.fore.has_value());
    EXPECT_FALSE(main.dixie.back.has_value());

    canvas.readable = [](float, float) { return true; };
    main.Form_Paint(canvas);
    for (Control* label : labels())
        EXPECT_TRUE(label->visible) << label->name;
}

// A hand-edited file may hold any int: the steps between the limits are taken without overflow,
// and every colour shown is clamped, running from one end of the range to the other.
TEST_F(Painting, ComponentsAtTheIntegerLimitsPaintClampedColours) {
    State& s = main.state;
    for (ColourField field : kColourFields)
        s.*field = INT_MIN;
    s.BCTBcR = s.BCTBcG = s.BCTBcB = INT_MAX;  // background top INT_MIN, bottom INT_MAX
    s.FCTTcR = s.FCTTcG = s.FCTTcB = INT_MAX;  // slot rows from INT_MAX down to INT_MIN
    s.tcr = INT_MAX;
    main.Form_Paint(canvas);
    ASSERT_EQ(canvas.fills.size(), 255u);
    EXPECT_EQ(canvas.fills.front().colour, rgb(0, 0, 0));
    EXPECT_EQ(canvas.fills.back().colour, rgb(255, 255, 255));
    EXPECT_EQ(main.Option1[0].back, rgb(255, 255, 255));
    EXPECT_EQ(main.Option1[67].back, rgb(0, 0, 0));
    EXPECT_EQ(main.Option1[0].fore, rgb(255, 0, 0));
    EXPECT_EQ(main.Build.back, rgb(0, 0, 0));
}

TEST(Compose, RoundsHalvesToEvenAndClampsEachComponent) {
    EXPECT_EQ(compose(1, 2, 3), 1u + 256u * 2 + 65536u * 3);
    EXPECT_EQ(compose(0.5, 1.5, 2.5), 0u + 256u * 2 + 65536u * 2);
    EXPECT_EQ(compose(300, -4, 255.4), 255u + 0 + 65536u * 255);
}

}  // namespace
}  // namespace dorvane
