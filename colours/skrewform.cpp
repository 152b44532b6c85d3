// SPDX-License-Identifier: MIT
#include "colours/skrewform.h"

#include <cmath>

namespace dorvane {

void textcolor(int r, int g, int b, std::string& n) {
    for (const PaletteColour& row : kPalette) {
        if (row.red == r && row.green == g && row.blue == b) {
            n = row.name;
            return;
        }
    }
}

void colorvalue(const std::string& colorin, Pending& tred, Pending& tgreen, Pending& tblue) {
    for (const PaletteColour& row : kPalette) {
        if (row.name == colorin) {
            tred = row.red;
            tgreen = row.green;
            tblue = row.blue;
            return;
        }
    }
}

namespace {

Control list(std::string name, Rect place, int focus_place, const Control* parent = nullptr) {
    Control c{.name = std::move(name),
              .kind = ControlKind::List,
              .place = place,
              .focus_place = focus_place,
              .parent = parent};
    for (const PaletteColour& row : kPalette)
        c.items.emplace_back(row.name);
    return c;
}

Control label(std::string name, std::string caption, Rect place, const Control* parent = nullptr) {
    return {.name = std::move(name),
            .kind = ControlKind::Label,
            .caption = std::move(caption),
            .place = place,
            .parent = parent};
}

Control frame(std::string name, std::string caption, Rect place) {
    return {.name = std::move(name),
            .kind = ControlKind::Frame,
            .caption = std::move(caption),
            .place = place};
}

Control button(std::string name, std::string caption, Rect place, int focus_place) {
    return {.name = std::move(name),
            .kind = ControlKind::CommandButton,
            .caption = std::move(caption),
            .place = place,
            .focus_place = focus_place};
}

}  // namespace

skrewform::skrewform(State& state_, WindowService& windows_, ClockService& chance_)
    : Form("skrewform"), state(state_), windows(windows_), chance(chance_) {
    caption = "FORM OF DEATH! no, wait...";
    client_width = 4950;
    client_height = 4500;
    lay_out_controls();
}

skrewform::~skrewform() {
    windows.form_destroyed(*this);
}

void skrewform::lay_out_controls() {
    Mainlabel = label("Mainlabel", "Main Colours", {120, 120, 2175, 255});
    Frame2 = frame("Frame2", "Background", {120, 360, 2295, 1575});
    BCT = list("BCT", {120, 240, 2055, 315}, 0, &Frame2);
    BCTT = label("BCTT", "Top of Screen Colour", {120, 600, 2055, 255}, &Frame2);
    BCB = list("BCB", {120, 840, 2055, 315}, 1, &Frame2);
    BCTB = label("BCTB", "Bottom of Screen Colour", {120, 1200, 2055, 255}, &Frame2);
    Frame1 = frame("Frame1", "Foreground", {2520, 360, 2295, 1575});
    FCT = list("FCT", {120, 240, 2055, 315}, 2, &Frame1);
    FCTT = label("FCTT", "Top of Text Colour", {120, 600, 2055, 255}, &Frame1);
    FCB = list("FCB", {120, 840, 2055, 315}, 3, &Frame1);
    FCTB = label("FCTB", "Bottom of Text Colour", {120, 1200, 2055, 255}, &Frame1);
    Build = list("Build", {240, 2040, 2055, 315}, 4);
    Buildlabel = label("Buildlabel", "Build Button Colour", {240, 2400, 2055, 255});
    Duke = list("Duke", {2640, 2040, 2055, 315}, 5);
    Dukelabel = label("Dukelabel", "Duke Button Colour", {2640, 2400, 2055, 255});
    Setup = list("Setup", {240, 2640, 2055, 315}, 6);
    Setuplabel = label("Setuplabel", "Setup Button Colour", {240, 3000, 2055, 255});
    Random = list("Random", {2640, 2640, 2055, 315}, 7);
    Randomlabel = label("Randomlabel", "Random Button Colour", {2640, 3000, 2055, 255});
    Textcol = list("Textcol", {1440, 3360, 2055, 315}, 8);
    textlabel = label("textlabel", "Map Text Colour", {1440, 3720, 2055, 255});
    Changecolorsok = button("Changecolorsok", "Ok", {840, 4080, 1575, 375}, 9);
    colorcancel = button("colorcancel", "Cancel", {2640, 4080, 1575, 375}, 10);

    BCT.click = [this] { BCT_Click(); };
    BCB.click = [this] { BCB_Click(); };
    FCT.click = [this] { FCT_Click(); };
    FCB.click = [this] { FCB_Click(); };
    Build.click = [this] { Build_Click(); };
    Duke.click = [this] { Duke_Click(); };
    Setup.click = [this] { Setup_Click(); };
    Random.click = [this] { Random_Click(); };
    Textcol.click = [this] { Textcol_Click(); };
    Changecolorsok.click = [this] { Changecolorsok_Click(); };
    colorcancel.click = [this] { colorcancel_Click(); };

    controls = {&Mainlabel, &Frame2,         &BCT,        &BCTT,        &BCB,
                &BCTB,      &Frame1,         &FCT,        &FCTT,        &FCB,
                &FCTB,      &Build,          &Buildlabel, &Duke,        &Dukelabel,
                &Setup,     &Setuplabel,     &Random,     &Randomlabel, &Textcol,
                &textlabel, &Changecolorsok, &colorcancel};
}

void skrewform::choose(const Control& list, Control& preview, Pending& r, Pending& g, Pending& b) {
    std::string name = list.selected_item();
    Pending R, G, B;
    colorvalue(name, R, G, B);
    r = R;
    g = G;
    b = B;
    preview.fore = compose(R.value_or(0), G.value_or(0), B.value_or(0));
}

void skrewform::BCT_Click() {
    choose(BCT, BCTT, tBCTTcR, tBCTTcG, tBCTTcB);
}
void skrewform::BCB_Click() {
    choose(BCB, BCTB, tBCTBcR, tBCTBcG, tBCTBcB);
}
void skrewform::FCT_Click() {
    choose(FCT, FCTT, tFCTTcR, tFCTTcG, tFCTTcB);
}
void skrewform::FCB_Click() {
    choose(FCB, FCTB, tFCTBcR, tFCTBcG, tFCTBcB);
}
void skrewform::Build_Click() {
    choose(Build, Buildlabel, tbcr, tbcg, tbcb);
}
void skrewform::Duke_Click() {
    choose(Duke, Dukelabel, tdcr, tdcg, tdcb);
}
void skrewform::Setup_Click() {
    choose(Setup, Setuplabel, tscr, tscg, tscb);
}
void skrewform::Random_Click() {
    choose(Random, Randomlabel, trcr, trcg, trcb);
}
void skrewform::Textcol_Click() {
    choose(Textcol, textlabel, ttcr, ttcg, ttcb);
}

// r, g and b are the main record's fields, so the preview's last colouring reads them afresh.
void skrewform::load_colour(Control& list, Control& preview, const int& r, const int& g,
                            const int& b, Pending& tr, Pending& tg, Pending& tb) {
    // A fresh name per colour: a colour outside the palette must not inherit another's name.
    std::string name;
    textcolor(r, g, b, name);
    int index = -1;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (!name.empty() && list.items[i] == name)
            index = static_cast<int>(i);
    }
    if (index >= 0) {
        select_item(list, index);
    } else {
        // No pick to show; pending the stored values keeps Ok from changing this colour.
        tr = r;
        tg = g;
        tb = b;
    }
    preview.fore = compose(r, g, b);
}

void skrewform::Form_Load() {
    const State& s = state;
    load_colour(Textcol, textlabel, s.tcr, s.tcg, s.tcb, ttcr, ttcg, ttcb);
    load_colour(Duke, Dukelabel, s.dcr, s.dcg, s.dcb, tdcr, tdcg, tdcb);
    load_colour(Build, Buildlabel, s.bcr, s.bcg, s.BCB, tbcr, tbcg, tbcb);
    load_colour(Setup, Setuplabel, s.scr, s.scg, s.scb, tscr, tscg, tscb);
    load_colour(Random, Randomlabel, s.rcr, s.rcg, s.rcb, trcr, trcg, trcb);
    load_colour(FCB, FCTB, s.FCTBcR, s.FCTBcG, s.FCTBcB, tFCTBcR, tFCTBcG, tFCTBcB);
    load_colour(FCT, FCTT, s.FCTTcR, s.FCTTcG, s.FCTTcB, tFCTTcR, tFCTTcG, tFCTTcB);
    load_colour(BCB, BCTB, s.BCTBcR, s.BCTBcG, s.BCTBcB, tBCTBcR, tBCTBcG, tBCTBcB);
    load_colour(BCT, BCTT, s.BCTTcR, s.BCTTcG, s.BCTTcB, tBCTTcR, tBCTTcG, tBCTTcB);
}

void skrewform::Form_Activate() {
    // 255 * u + 1 with u below 1 stays below 256, so each component lies in 1 to 255.
    double red = std::floor(255.0 * chance.random() + 1);
    double green = std::floor(255.0 * chance.random() + 1);
    double blue = std::floor(255.0 * chance.random() + 1);
    Mainlabel.fore = compose(red, green, blue);
}

void skrewform::Changecolorsok_Click() {
    State& s = state;
    // A component still empty has never been set, so the colour in force stays.
    auto take = [](const Pending& pending, int& field) {
        if (pending)
            field = *pending;
    };
    auto commit = [&take](const Pending& r, const Pending& g, const Pending& b, int& R, int& G,
                          int& B) {
        take(r, R);
        take(g, G);
        take(b, B);
    };
    commit(tBCTTcR, tBCTTcG, tBCTTcB, s.BCTTcR, s.BCTTcG, s.BCTTcB);
    commit(tFCTBcR, tFCTBcG, tFCTBcB, s.FCTBcR, s.FCTBcG, s.FCTBcB);
    commit(tFCTTcR, tFCTTcG, tFCTTcB, s.FCTTcR, s.FCTTcG, s.FCTTcB);
    commit(tBCTBcR, tBCTBcG, tBCTBcB, s.BCTBcR, s.BCTBcG, s.BCTBcB);
    commit(tbcr, tbcg, tbcb, s.bcr, s.bcg, s.BCB);
    commit(tdcr, tdcg, tdcb, s.dcr, s.dcg, s.dcb);
    commit(tscr, tscg, tscb, s.scr, s.scg, s.scb);
    commit(trcr, trcg, trcb, s.rcr, s.rcg, s.rcb);
    commit(ttcr, ttcg, ttcb, s.tcr, s.tcg, s.tcb);
    int Cancel = 0;
    Form_Unload(Cancel);
}

void skrewform::colorcancel_Click() {
    int Cancel = 0;
    Form_Unload(Cancel);
}

void skrewform::Form_Unload(int& /*Cancel*/) {
    visible = false;
}

void skrewform::frame_closed() {
    int Cancel = 0;
    Form_Unload(Cancel);
    if (Cancel != 0)
        return;
    retired = true;
}

}  // namespace dorvane
