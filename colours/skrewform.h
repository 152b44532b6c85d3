// SPDX-License-Identifier: MIT
// The colour settings dialog: nine pick-only lists of the nine-name palette, each with a preview
// label, that edit pending copies of the main window's colours until Ok commits them.
//
// The dialog only changes memory: it reads and commits the colours of the state record it is
// given, and neither repaints the main window nor writes the database. Ok and Cancel hide it and
// keep its picks; a close through the window frame hides and retires it, and whoever made it
// frees it through `release`, so that the next opening reads the colours in force afresh. A stored
// colour that is not in the palette shows as no pick, and Ok then writes its components back
// exactly as they were.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/state.h"
#include "platform/clock_service.h"
#include "platform/form.h"
#include "platform/window_service.h"

namespace dorvane {

struct PaletteColour {
    std::string_view name;
    int red, green, blue;
};

// The palette, in the order every list shows it.
inline constexpr std::array<PaletteColour, 9> kPalette = {{
    {"Black", 0, 0, 0},
    {"Blue", 0, 0, 255},
    {"Cyan", 0, 255, 255},
    {"Green", 0, 255, 0},
    {"Grey", 192, 192, 192},
    {"Magenta", 255, 0, 255},
    {"Red", 255, 0, 0},
    {"White", 255, 255, 255},
    {"Yellow", 255, 255, 0},
}};

// A component of the dialog's own: empty until its list is first set.
using Pending = std::optional<int>;

// n becomes the name of the palette row whose components equal r, g and b; it keeps its value
// when no row does.
void textcolor(int r, int g, int b, std::string& n);

// When colorin is a palette name (exactly, same case), the outputs receive that row's
// components; otherwise they keep their values.
void colorvalue(const std::string& colorin, Pending& tred, Pending& tgreen, Pending& tblue);

class skrewform : public Form {
  public:
    // Lays the dialog out with every list unselected; Form_Load then shows the colours in force.
    skrewform(State& state, WindowService& windows, ClockService& chance);
    ~skrewform() override;

    Control Mainlabel;
    Control Frame2, BCT, BCTT, BCB, BCTB;
    Control Frame1, FCT, FCTT, FCB, FCTB;
    Control Build, Buildlabel, Duke, Dukelabel, Setup, Setuplabel, Random, Randomlabel;
    Control Textcol, textlabel;
    Control Changecolorsok, colorcancel;

    // Pending components, grouped by colour, in the order Ok copies them.
    Pending tBCTTcR, tBCTTcG, tBCTTcB;
    Pending tFCTBcR, tFCTBcG, tFCTBcB;
    Pending tFCTTcR, tFCTTcG, tFCTTcB;
    Pending tBCTBcR, tBCTBcG, tBCTBcB;
    Pending tbcr, tbcg, tbcb;
    Pending tdcr, tdcg, tdcb;
    Pending tscr, tscg, tscb;
    Pending trcr, trcg, trcb;
    Pending ttcr, ttcg, ttcb;

    // The choice handlers: each runs when its list's selection is set, by the user or by code.
    void BCT_Click();
    void BCB_Click();
    void FCT_Click();
    void FCB_Click();
    void Build_Click();
    void Duke_Click();
    void Setup_Click();
    void Random_Click();
    void Textcol_Click();

    void Form_Load();
    void Form_Activate() override;
    void Changecolorsok_Click();
    void colorcancel_Click();
    void Form_Unload(int& Cancel);
    void frame_closed() override;

    State& state;
    WindowService& windows;
    ClockService& chance;  // the random colour

  private:
    void lay_out_controls();
    void choose(const Control& list, Control& preview, Pending& r, Pending& g, Pending& b);
    void load_colour(Control& list, Control& preview, const int& r, const int& g, const int& b,
                     Pending& tr, Pending& tg, Pending& tb);
};

}  // namespace dorvane
