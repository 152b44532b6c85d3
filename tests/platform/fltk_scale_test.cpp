// SPDX-License-Identifier: MIT
// Twips to pixels: a screen near 96 dpi gets exactly 15 twips per pixel; a denser one scales.
#include <gtest/gtest.h>

#include "platform/fltk/scale.h"

namespace dorvane::fltk {
namespace {

TEST(FltkScale, NearNinetySixDpiIsExactlyFifteenTwipsPerPixel) {
    for (double dpi : {96.0, 95.9, 92.0, 100.0}) {
        Scale s(dpi);
        EXPECT_EQ(s.factor(), 1.0) << dpi;
        EXPECT_EQ(s.px(9510), 634);
        EXPECT_EQ(s.px(6540), 436);
        EXPECT_EQ(s.span(120, 1455), 97);
    }
    EXPECT_EQ(Scale(0).factor(), 1.0);  // no dpi reported
}

TEST(FltkScale, DenserScreensScaleEverythingFontsIncluded) {
    Scale s(192);
    EXPECT_EQ(s.factor(), 2.0);
    EXPECT_EQ(s.px(9510), 1268);
    EXPECT_EQ(s.font_px(8.25), 2 * Scale(96).font_px(8.25));
    EXPECT_DOUBLE_EQ(s.twips(1268), 9510);
    EXPECT_EQ(Scale(192.7).factor(), 2.0);  // as a screen measured in millimetres reports it
    EXPECT_EQ(Scale(144).factor(), 1.5);
    EXPECT_NEAR(Scale(110).factor(), 110 / 96.0, 1e-9);  // between steps: as reported
}

TEST(FltkScale, NeighbouringRectanglesNeitherOverlapNorLeaveGaps) {
    Scale s(120);  // 1.25: edges fall between pixels
    double band = 7350.0 / 255;
    int covered = 0;
    for (int k = 0; k < 255; ++k)
        covered += s.px((k + 1) * band) - s.px(k * band);
    EXPECT_EQ(covered, s.px(7350));
}

}  // namespace
}  // namespace dorvane::fltk
