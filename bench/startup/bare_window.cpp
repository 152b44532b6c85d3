// SPDX-License-Identifier: MIT
// The yardstick for the program's start-up: a bare FLTK window of the same make as the main
// window (menu bar with the same entries, 68 radio buttons in a 4 x 17 grid with graded faces,
// nine buttons, five labels, a picture box, and a 255-band gradient painted on every redraw),
// with none of the program's own work: no file, no state, no pictures.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>

#include <string>
#include <vector>

namespace {

constexpr int kMenu = 22;

class BareWindow : public Fl_Double_Window {
  public:
    BareWindow(int w, int h) : Fl_Double_Window(w, h, "Bare window") {}
    void draw() override {
        // The gradient over a little more than the client height, as the program paints it.
        double band = (h() + 21) / 255.0, y = kMenu;
        for (int k = 1; k <= 255; ++k) {
            fl_color(static_cast<uchar>(k), 0, static_cast<uchar>(k));
            fl_rectf(0, static_cast<int>(y + 0.5), w(),
                     static_cast<int>(y + band + 0.5) - static_cast<int>(y + 0.5));
            y += band;
        }
        draw_children();
    }
};

Fl_Menu_Item menu[] = {
    {"File  |", 0, nullptr, nullptr, FL_SUBMENU},
    {"Exit", FL_CTRL + 'q'},
    {nullptr},
    {"With Maps  |", 0, nullptr, nullptr, FL_SUBMENU},
    {"Run In Build", FL_CTRL + 'b'},
    {"Run In Setup", FL_CTRL + 's'},
    {"Run In Duke", FL_CTRL + 'd'},
    {nullptr},
    {"Without Maps  |", 0, nullptr, nullptr, FL_SUBMENU},
    {"Run Build Without Map", FL_CTRL + 'c'},
    {"Run Setup Without Map", FL_CTRL + 't'},
    {"Run Duke Without Map", FL_CTRL + 'e'},
    {nullptr},
    {"All Maps  |", 0, nullptr, nullptr, FL_SUBMENU},
    {"&Sort Maps", FL_CTRL + 'o'},
    {"&Clear Database", FL_CTRL + 'z'},
    {nullptr},
    {"Change Colors  |"},
    {"Help", 0, nullptr, nullptr, FL_SUBMENU},
    {"About", FL_CTRL + 'a'},
    {nullptr},
    {nullptr},
};

struct Place {
    const char* caption;
    int x, y, w, h;
    Fl_Color colour;
};

}  // namespace

int main(int argc, char** argv) {
    auto* window = new BareWindow(634, 436 + kMenu);
    auto* bar = new Fl_Menu_Bar(0, 0, 634, kMenu);
    bar->box(FL_FLAT_BOX);
    bar->textsize(12);
    bar->menu(menu);
    std::vector<std::string> names;
    for (int k = 0; k < 68; ++k)
        names.push_back("map" + std::to_string(k) + ".map");
    for (int k = 0; k < 68; ++k) {
        auto* option = new Fl_Round_Button(8 + 104 * (k % 4), kMenu + 8 + 24 * (k / 4), 97, 21,
                                           names[k].c_str());
        option->type(FL_RADIO_BUTTON);
        option->box(FL_FLAT_BOX);
        uchar level = static_cast<uchar>(255 - 15 * (k / 4));
        option->color(fl_rgb_color(level, 0, level));
        option->labelcolor(FL_WHITE);
        option->labelsize(11);
        option->value(k == 0);
    }
    const Place buttons[] = {
        {"&Add Map", 424, 8, 73, 233, FL_BACKGROUND_COLOR},
        {"Run In &Build", 504, 8, 129, 41, FL_RED},
        {"Run In &Duke3d", 504, 104, 129, 41, FL_GREEN},
        {"Run In &Setup", 504, 56, 129, 41, FL_YELLOW},
        {"&Random", 424, 248, 113, 121, FL_BLUE},
        {"&Move Map", 504, 152, 129, 41, FL_BACKGROUND_COLOR},
        {"&Clear Map Slot", 504, 200, 129, 41, FL_BACKGROUND_COLOR},
        {"&Quit", 424, 376, 209, 41, FL_BACKGROUND_COLOR},
        {"Click Once Proper Spot Has Been Selected...", 424, 8, 209, 409, FL_BACKGROUND_COLOR},
    };
    for (const Place& p : buttons) {
        auto* b = new Fl_Button(p.x, kMenu + p.y, p.w, p.h, p.caption);
        // Exact primaries, as the program composes them (FLTK's own colour map differs).
        Fl_Color face = p.colour == FL_RED      ? fl_rgb_color(255, 0, 0)
                        : p.colour == FL_GREEN  ? fl_rgb_color(0, 255, 0)
                        : p.colour == FL_YELLOW ? fl_rgb_color(255, 255, 0)
                        : p.colour == FL_BLUE   ? fl_rgb_color(0, 0, 255)
                                                : p.colour;
        b->color(face);
        b->labelsize(11);
    }
    window->child(window->children() - 1)->hide();  // the move button, hidden like Towhere
    const Place labels[] = {
        {"COKE KICKS PEPSI'S ASS!!!!", 216, 416, 153, 17, FL_BLACK},
        {"42 is the answer!!!", 32, 416, 89, 17, FL_BLACK},
        {"My Dixie Wrecked", 544, 248, 89, 17, FL_BLACK},
        {"Can thou readest this?", 408, 416, 113, 17, FL_BLACK},
        {"Send me all your $$", 544, 352, 97, 17, FL_BLACK},
    };
    for (const Place& p : labels) {
        auto* box = new Fl_Box(FL_FLAT_BOX, p.x, kMenu + p.y, p.w, p.h, p.caption);
        box->color(fl_rgb_color(200, 0, 200));
        box->labelcolor(fl_rgb_color(190, 0, 190));
        box->labelsize(11);
        box->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    }
    new Fl_Box(FL_DOWN_BOX, 552, kMenu + 272, 65, 75, nullptr);
    window->end();
    window->show(argc, argv);
    return Fl::run();
}
