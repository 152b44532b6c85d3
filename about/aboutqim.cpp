// SPDX-License-Identifier: MIT
#include "about/aboutqim.h"

#include <string>

#include "catalogue/state.h"

namespace dorvane {

namespace {

const Colour kLightGrey = compose(192, 192, 192);
const Colour kDarkGreen = compose(0, 128, 0);
const Colour kRed = compose(255, 0, 0);
const Colour kBlue = compose(0, 0, 255);
const Colour kWhite = compose(255, 255, 255);
const Colour kPurple = compose(192, 0, 192);

// End points of Line1 to Line14 in the joke panel: x1, y1, x2, y2.
constexpr int kLineEnds[14][4] = {
    {720, 240, 360, 240}, {720, 360, 480, 480}, {360, 240, 360, 480}, {120, 480, 360, 480},
    {120, 600, 120, 480}, {360, 600, 120, 600}, {360, 720, 360, 600}, {480, 720, 360, 720},
    {480, 600, 480, 720}, {480, 360, 480, 480}, {480, 600, 720, 600}, {720, 480, 480, 480},
    {720, 600, 720, 480}, {720, 240, 720, 360},
};

// Labels sit on the window's grey like the window's own text.
Control text(std::string name, ControlKind kind, std::string caption, Rect place, Colour fore) {
    return {.name = std::move(name),
            .kind = kind,
            .caption = std::move(caption),
            .place = place,
            .back = kLightGrey,
            .fore = fore};
}

}  // namespace

Aboutqim::Aboutqim(WindowService& windows_, MessageBoxService& boxes_)
    : Form("Aboutqim"), windows(windows_), boxes(boxes_) {
    caption = "About Dorvane";
    client_width = 5145;
    client_height = 3390;
    back = kLightGrey;
    lay_out_controls();
}

Aboutqim::~Aboutqim() {
    windows.form_destroyed(*this);
}

void Aboutqim::lay_out_controls() {
    using K = ControlKind;
    closeabout = {.name = "closeabout",
                  .kind = K::CommandButton,
                  .caption = "Okeli Dokeli Doo!",
                  .place = {120, 2640, 3135, 615},
                  .focus_place = 0};
    info = text("info", K::Label,
                "Dorvane 5.0, the Duke3d map loader, was written by Tobias Wrenfield. If you "
                "like it, please drop me an e-mail and say so!",
                {120, 120, 3615, 855}, kRed);
    Label2 = text("Label2", K::Label, "Be sure to point your browser to:", {120, 1080, 3615, 255},
                  kDarkGreen);
    Text1 = text("Text1", K::TextBox, "http://www.example.com/wrenfield/", {120, 1320, 3615, 285},
                 kBlue);
    Text1.focus_place = 1;
    Label3 = text("Label3", K::Label,
                  "for any upgrades to Dorvane and some great programming and Duke3d stuff!",
                  {120, 1680, 3255, 495}, kDarkGreen);
    Label1 = text("Label1", K::Label, "OR e-mail me at:", {120, 2160, 1335, 255}, kDarkGreen);
    Text2 = text("Text2", K::TextBox, "toby@example.org", {1440, 2160, 1815, 285}, kBlue);
    Text2.focus_place = 2;
    closeabout.click = [this] { closeabout_Click(); };
    lay_out_panel();

    // The close button goes first so that it holds the focus when the box opens.
    controls = {&closeabout, &info, &Label2, &Text1, &Label3, &Label1, &Text2, &Frame666};
    for (Control& line : Line)
        controls.push_back(&line);
    for (Control* c : {&Label4, &Text3, &Frame1, &Command1})
        controls.push_back(c);
}

void Aboutqim::lay_out_panel() {
    using K = ControlKind;
    Frame666 = {.name = "Frame666",
                .kind = K::Frame,
                .caption = "DIDJANO?",
                .place = {3840, 0, 1215, 3375},
                .back = kLightGrey};
    for (std::size_t i = 0; i < Line.size(); ++i) {
        const int* end = kLineEnds[i];
        Line[i] = {.name = "Line" + std::to_string(i + 1),
                   .kind = K::Line,
                   .parent = &Frame666,
                   .x1 = end[0],
                   .y1 = end[1],
                   .x2 = end[2],
                   .y2 = end[3]};
    }
    Label4 = {.name = "Label4",
              .kind = K::Label,
              .caption = "2",
              .place = {240, 840, 375, 495},
              .back = kLightGrey,
              .font = {.face = "Times New Roman", .points = 24},
              .parent = &Frame666};
    Text3 = {.name = "Text3",
             .kind = K::TextBox,
             .caption = "IS",
             .place = {600, 795, 495, 570},
             .focus_place = 3,
             .back = kRed,
             .fore = kWhite,
             .font = {.face = "MS Sans Serif", .points = 18, .underline = true},
             .parent = &Frame666};
    Frame1 = {.name = "Frame1",
              .kind = K::Frame,
              .caption = "the",
              .place = {120, 1440, 975, 1815},
              .back = kLightGrey,
              .fore = kPurple,
              .font = {.face = "MS Sans Serif", .points = 9.75, .italic = true},
              .parent = &Frame666};
    Command1 = {.name = "Command1",
                .kind = K::CommandButton,
                .caption = "ANSWER",
                .place = {120, 240, 735, 1455},
                .focus_place = 4,
                .font = {.face = "Times New Roman", .points = 18},
                .parent = &Frame1};
    Command1.click = [this] { Command1_Click(); };
}

void Aboutqim::closeabout_Click() {
    visible = false;
}

void Aboutqim::Command1_Click() {
    boxes.message_box(
        "That's right.  The answer to life, the universe and everything has been found.  "
        "It's 42.  If that means nothing to you, go and read the book series in which this "
        "answer is given.",
        "101010b is the answer!!!", Buttons::Ok);
}

void Aboutqim::frame_closed() {
    visible = false;
    retired = true;
}

}  // namespace dorvane
