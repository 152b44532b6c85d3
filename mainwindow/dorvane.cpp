// SPDX-License-Identifier: MIT
#include "mainwindow/dorvane.h"

#include <algorithm>
#include <string>

#include "about/aboutqim.h"
#include "catalogue/database.h"
#include "colours/skrewform.h"
#include "mainwindow/addmaps.h"

namespace dorvane {

namespace {

Control make(std::string name, ControlKind kind, std::string caption, Rect place, int focus_place) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    c.place = place;
    c.focus_place = focus_place;
    return c;
}

constexpr Colour kBlue = 0xFF0000;

}  // namespace

Dorvane::Dorvane(Services services_) : Form("Dorvane"), services(services_) {
    caption = "Dorvane (Duke3d Map Loader)";
    client_width = 9510;
    client_height = 6540;
    icon = Picture::Icon;
    lay_out_controls();
    build_menu();
    // Without its main window the program would run on with nothing to show and nothing to close.
    if (!open_window(*this, " Dorvane cannot run without it and ends now."))
        services.windows.end_program();
}

bool Dorvane::open_window(Form& form, const std::string& consequence) {
    std::optional<std::string> error = services.windows.form_created(form);
    if (!error)
        return true;
    services.boxes.message_box("Dorvane could not open the window \"" + form.caption + "\" (" +
                                   *error + ")." + consequence,
                               "Dorvane", Buttons::Ok);
    return false;
}

Dorvane::~Dorvane() = default;

void Dorvane::lay_out_controls() {
    using K = ControlKind;
    Addmap = make("Addmap", K::CommandButton, "&Add Map", {6360, 120, 1095, 3495}, 0);
    Build = make("Build", K::CommandButton, "Run In &Build", {7560, 120, 1935, 615}, 1);
    Duke3d = make("Duke3d", K::CommandButton, "Run In &Duke3d", {7560, 1560, 1935, 615}, 2);
    Setup = make("Setup", K::CommandButton, "Run In &Setup", {7560, 840, 1935, 615}, 3);
    Random = make("Random", K::CommandButton, "&Random", {6360, 3720, 1695, 1815}, 4);
    Moveme = make("Moveme", K::CommandButton, "&Move Map", {7560, 2280, 1935, 615}, 5);
    Clear = make("Clear", K::CommandButton, "&Clear Map Slot", {7560, 3000, 1935, 615}, 6);
    Quit = make("Quit", K::CommandButton, "&Quit", {6360, 5640, 3135, 615}, 7);
    Wobbin = make("Wobbin", K::PictureBox, "", {8280, 4080, 975, 1125}, 8);
    Coke = make("Coke", K::Label, "COKE KICKS PEPSI'S ASS!!!!", {3240, 6240, 2295, 255}, 77);
    tttt2 = make("tttt2", K::Label, "42 is the answer!!!", {480, 6240, 1335, 255}, 78);
    dixie = make("dixie", K::Label, "My Dixie Wrecked", {8160, 3720, 1335, 255}, 79);
    Towhere = make("Towhere", K::CommandButton, "Click Once Proper Spot Has Been Selected...",
                   {6360, 120, 3135, 6135}, 80);
    can = make("can", K::Label, "Can thou readest this?", {6120, 6240, 1695, 255}, 81);
    money = make("money", K::Label, "Send me all your $$", {8160, 5280, 1455, 255}, 82);

    for (Control* c : {&Build, &Duke3d, &Setup, &Random})
        c->graphical = true;
    Random.back = kBlue;
    Towhere.visible = false;
    Wobbin.picture = Picture::Frame1;

    for (int k = 0; k < kSlots; ++k) {
        Option1[k] = make("Option1(" + std::to_string(k) + ")", K::OptionButton, "",
                          {120 + 1560 * (k % 4), 120 + 360 * (k / 4), 1455, 315}, 9 + k);
        Option1[k].click = [this, k] { Option1_Click(k); };
    }

    Addmap.click = [this] { Addmap_Click(); };
    Build.click = [this] { Build_Click(); };
    Duke3d.click = [this] { Duke3d_Click(); };
    Setup.click = [this] { Setup_Click(); };
    Random.click = [this] { Random_Click(); };
    Moveme.click = [this] { Moveme_Click(); };
    Clear.click = [this] { Clear_Click(); };
    Quit.click = [this] { Quit_Click(); };
    Wobbin.click = [this] { Wobbin_Click(); };
    Towhere.click = [this] { Towhere_Click(); };

    controls = {&Addmap, &Build, &Duke3d, &Setup, &Random, &Moveme, &Clear, &Quit, &Wobbin};
    for (Control& option : Option1)
        controls.push_back(&option);
    for (Control* c : {&Coke, &tttt2, &dixie, &Towhere, &can, &money})
        controls.push_back(c);
}

void Dorvane::build_menu() {
    auto item = [](std::string name, std::string caption, char key, std::function<void()> f) {
        return MenuItem{std::move(name), std::move(caption), key, std::move(f)};
    };
    menu = {
        {"File", "File  |", {item("Exit", "Exit", 'q', [this] { Exit_Click(); })}, nullptr},
        {"Edit",
         "With Maps  |",
         {item("RIB", "Run In Build", 'b', [this] { RIB_Click(); }),
          item("RIS", "Run In Setup", 's', [this] { RIS_Click(); }),
          item("RID", "Run In Duke", 'd', [this] { RID_Click(); })},
         nullptr},
        {"Run_wo",
         "Without Maps  |",
         {item("RB", "Run Build Without Map", 'c', [this] { RB_Click(); }),
          item("RS", "Run Setup Without Map", 't', [this] { RS_Click(); }),
          item("RD", "Run Duke Without Map", 'e', [this] { RD_Click(); })},
         nullptr},
        {"magic",
         "All Maps  |",
         {item("sort", "&Sort Maps", 'o', [this] { sort_Click(); }),
          item("clearmaps", "&Clear Database", 'z', [this] { clearmaps_Click(); })},
         nullptr},
        {"cc", "Change Colors  |", {}, [this] { cc_Click(); }},
        {"Help", "Help", {item("About", "About", 'a', [this] { About_Click(); })}, nullptr},
    };
}

void Dorvane::Form_Load() {
    load_database(state, {services.files, services.boxes});
    for (int i = 0; i < kSlots; ++i)
        Option1[i].caption = state.maps[i].mapname;
    // A stored selection outside the slot table chooses the first slot.
    int k = slot_or_zero(state.selected_map);
    choose_slot(k >= 0 && k < kSlots ? k : 0);
}

void Dorvane::Option1_Click(int Index) {
    state.map = Index;
    state.selected_map = Index;
}

void Dorvane::choose_slot(int k) {
    choose_option(*this, Option1.at(k));
}

bool Dorvane::save(Numbering numbering) {
    bool saved = write_database(state, numbering, {services.files, services.boxes});
    for (int i = 0; i < kSlots; ++i)
        Option1[i].caption = state.maps[i].mapname;
    return saved;
}

void Dorvane::Quit_Click() {
    save(Numbering::ByMapnum);
    services.windows.end_program();
}

void Dorvane::Exit_Click() {
    Quit_Click();
}

void Dorvane::Form_Unload(int& /*Cancel*/) {
    Quit_Click();
}

void Dorvane::frame_closed() {
    int cancel = 0;
    Form_Unload(cancel);
}

void Dorvane::savemaps() {
    dorvane::savemaps(state, {services.files, services.boxes});
    for (int i = 0; i < kSlots; ++i)
        Option1[i].caption = state.maps[i].mapname;
}

}  // namespace dorvane
