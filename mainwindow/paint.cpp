// SPDX-License-Identifier: MIT
// The main window's look, rebuilt from the colour settings on every paint request: the
// background gradient, the graded slot rows, the caption colour, the four button faces and the
// five hidden labels camouflaged in the gradient.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "mainwindow/dorvane.h"

namespace dorvane {

namespace {

constexpr int kBands = 255;
constexpr int kRows = kSlots / 4;

// The bands as painted, so that a sample reads back exactly the colour shown at its height.
struct Gradient {
    std::array<Colour, kBands> colours{};
    double band_height = 0;

    // The colour of the band at height y (twips); where two bands meet, the later one painted.
    Colour at(double y) const {
        double k = band_height > 0 ? std::floor(y / band_height) : 0;
        int index = static_cast<int>(std::clamp(k, 0.0, double(kBands - 1)));
        return colours[index];
    }
};

Gradient paint_background(const State& s, Canvas& canvas) {
    Gradient gradient;
    const double height = canvas.outer_height();
    const double width = canvas.outer_width();
    gradient.band_height = height / kBands;

    // In double: components read from a hand-edited file may lie anywhere in int's range.
    double red = s.BCTTcR, green = s.BCTTcG, blue = s.BCTTcB;
    const double step_red = (double(s.BCTBcR) - s.BCTTcR) / kBands;
    const double step_green = (double(s.BCTBcG) - s.BCTTcG) / kBands;
    const double step_blue = (double(s.BCTBcB) - s.BCTTcB) / kBands;
    double y = 0;
    for (int k = 1; k <= kBands; ++k) {
        // The step comes first, so band 1 is already one step away from the top colour.
        red += step_red;
        green += step_green;
        blue += step_blue;
        Colour colour = compose(red, green, blue);
        canvas.fill_rect(0, static_cast<float>(y), static_cast<float>(width),
                         static_cast<float>(y + gradient.band_height), colour);
        gradient.colours[k - 1] = colour;
        y += gradient.band_height;
    }
    return gradient;
}

}  // namespace

void Dorvane::Form_Paint(Canvas& canvas) {
    const State& s = state;
    Control* hidden[] = {&tttt2, &can, &Coke, &money, &dixie};
    for (Control* label : hidden)
        label->visible = true;

    Build.back = compose(s.bcr, s.bcg, s.BCB);
    Setup.back = compose(s.scr, s.scg, s.scb);
    Duke3d.back = compose(s.dcr, s.dcg, s.dcb);
    Random.back = compose(s.rcr, s.rcg, s.rcb);

    const Gradient gradient = paint_background(s, canvas);

    // Slot rows are graded over 17 steps, after painting, so the bottom colour itself never shows.
    // In double, like the background's.
    double red = s.FCTTcR, green = s.FCTTcG, blue = s.FCTTcB;
    const double step_red = (double(s.FCTBcR) - s.FCTTcR) / kRows;
    const double step_green = (double(s.FCTBcG) - s.FCTTcG) / kRows;
    const double step_blue = (double(s.FCTBcB) - s.FCTTcB) / kRows;
    const Colour text = compose(s.tcr, s.tcg, s.tcb);
    for (int i = 0; i < kSlots; i += 4) {
        Option1[i].back = compose(red, green, blue);
        for (int j = 1; j < 4; ++j)
            Option1[i + j].back = Option1[i].back;
        for (int j = 0; j < 4; ++j)
            Option1[i + j].fore = text;
        red += step_red;
        green += step_green;
        blue += step_blue;
    }

    // Each label takes its colours from the gradient just painted: the background near its lower
    // edge, the caption 500 twips higher. A sample that cannot be read hides all five.
    auto sample = [&](double y, std::optional<Colour>& into) {
        if (!canvas.shows_point(1, static_cast<float>(y)))
            return false;
        into = gradient.at(y);
        return true;
    };
    for (Control* label : hidden) {
        const bool bottom_row = label == &tttt2 || label == &can || label == &Coke;
        if (!sample(label->place.top - 500, label->fore) ||
            !sample(bottom_row ? 6200 : label->place.top + label->place.height, label->back)) {
            for (Control* each : hidden)
                each->visible = false;
            return;
        }
    }
}

}  // namespace dorvane
