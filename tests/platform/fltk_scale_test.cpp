// SPDX-License-Identifier: MIT
// Twips to pixels: a screen near 96 dpi gets exactly 15 twips per pixel; a denser one scales.
#include <gtest/gtest.h>

#include <utility>

#include "platform/fltk/scale.h"

namespace dorvane::fltk {
namespace {

TEST(FltkScale, NearNinetySixDpiIsExactlyFifteenTwipsPerPixelDenserScreensScale) {
    for (double dpi : {96.0, 95.9, 92.0, 100.0, 0.0}) {  // 0: no dpi reported
        EXPECT_EQ(Scale(dpi).factor(), 1.0) << dpi;
        EXPECT_EQ(Scale(dpi).px(9510), 634);
    }
    // Quarter steps as a screen measured in whole millimetres reports them; between: as reported.
    for (auto [dpi, factor] :
         {std::pair{192.0, 2.0}, {192.7, 2.0}, {144.0, 1.5}, {110.0, 110 / 96.0}})
        EXPECT_DOUBLE_EQ(Scale(dpi).factor(), factor) << dpi;
    Scale s(192);
    EXPECT_EQ(s.px(9510), 1268);
    EXPECT_EQ(s.font_px(8.25), 2 * Scale(96).font_px(8.25));
    EXPECT_DOUBLE_EQ(s.twips(1268), 9510);
}

TEST(FltkScale, NeighbouringRectanglesNeitherOverlapNorLeaveGaps) {
    Scale s(120);  // 1.25: edges fall between pixels
    double band = 7350.0 / 255;
    int covered = 0;
    for (int k = 0; k < 255; ++k)
        covered += s.span(k * band, band);
    EXPECT_EQ(covered, s.px(7350));
}

}  // namespace
}  // namespace dorvane::fltk
