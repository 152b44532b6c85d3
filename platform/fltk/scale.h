// SPDX-License-Identifier: MIT
// Twips to pixels for the screen the program runs on.
//
// A screen within a few percent of 96 dpi gets exactly 15 twips per pixel, so that the layout
// lands on whole pixels as designed; any other screen scales everything, fonts and pictures
// included, by its dpi / 96. Screens report their dpi from a size in whole millimetres, so a
// factor within a few percent of a quarter step (1.25, 1.5, 2, ...) is taken as that step.
#pragma once

#include <algorithm>
#include <cmath>

namespace dorvane::fltk {

class Scale {
  public:
    explicit Scale(double dpi = 96.0) : factor_(factor_for(dpi)) {}

    static double factor_for(double dpi) {
        if (!(dpi > 0))
            return 1.0;
        double f = dpi / 96.0;
        double step = std::max(1.0, std::round(f * 4.0) / 4.0);
        return std::fabs(f - step) <= 0.05 * step ? step : f;
    }

    double factor() const { return factor_; }

    // A position in twips to a whole pixel. Edges are rounded, not sizes, so that neighbouring
    // rectangles neither overlap nor leave gaps.
    int px(double twips) const { return static_cast<int>(std::lround(twips * factor_ / 15.0)); }
    // A size that starts at `from` twips.
    int span(double from, double size) const { return px(from + size) - px(from); }
    // Pixels back to twips.
    double twips(double pixels) const { return pixels * 15.0 / factor_; }
    // Font points to pixels (1 point is 20 twips).
    int font_px(double points) const { return std::max(1, px(points * 20.0)); }

  private:
    double factor_;
};

}  // namespace dorvane::fltk
