// SPDX-License-Identifier: MIT
#include "catalogue/state.h"

#include <cmath>

namespace dorvane {

const std::array<ColourField, 27> kColourFields = {
    &State::BCTTcR, &State::BCTBcR, &State::FCTTcR, &State::FCTBcR, &State::BCTTcG, &State::BCTBcG,
    &State::FCTTcG, &State::FCTBcG, &State::BCTTcB, &State::BCTBcB, &State::FCTTcB, &State::FCTBcB,
    &State::dcr,    &State::dcg,    &State::dcb,    &State::bcr,    &State::bcg,    &State::BCB,
    &State::scr,    &State::scg,    &State::scb,    &State::rcr,    &State::rcg,    &State::rcb,
    &State::tcr,    &State::tcg,    &State::tcb,
};

void set_default_colours(State& s) {
    // Screen black to magenta, slot rows magenta toward black.
    s.BCTTcR = 0, s.BCTBcR = 255, s.FCTTcR = 255, s.FCTBcR = 0;
    s.BCTTcG = 0, s.BCTBcG = 0, s.FCTTcG = 0, s.FCTBcG = 0;
    s.BCTTcB = 0, s.BCTBcB = 255, s.FCTTcB = 255, s.FCTBcB = 0;
    s.dcr = 0, s.dcg = 255, s.dcb = 0;      // Duke: green
    s.bcr = 255, s.bcg = 0, s.BCB = 0;      // Build: red
    s.scr = 255, s.scg = 255, s.scb = 0;    // Setup: yellow
    s.rcr = 0, s.rcg = 0, s.rcb = 255;      // Random: blue
    s.tcr = 255, s.tcg = 255, s.tcb = 255;  // map text: white
}

namespace {

Colour component(double value) {
    if (!(value > 0))
        return 0;  // negatives and NaN count as 0
    if (value >= 255)
        return 255;
    return static_cast<Colour>(std::nearbyint(value));  // the default mode rounds halves to even
}

}  // namespace

Colour compose(double red, double green, double blue) {
    return component(red) + 256 * component(green) + 65536 * component(blue);
}

}  // namespace dorvane
