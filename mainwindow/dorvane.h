// SPDX-License-Identifier: MIT
// The main window: the 68 map slots, the command buttons, the mascot, the hidden labels and the
// menu bar. It owns the program's state record and every other window, and its handlers are the
// program's commands. It exists from start to end of the program.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "catalogue/database.h"
#include "catalogue/state.h"
#include "platform/form.h"
#include "platform/services.h"

namespace dorvane {

class Addmaps;
class skrewform;
class Aboutqim;
struct LaunchServices;

class Dorvane : public Form {
  public:
    explicit Dorvane(Services services);
    ~Dorvane() override;

    Services services;
    State state;

    // Controls, in focus order.
    Control Addmap, Build, Duke3d, Setup, Random, Moveme, Clear, Quit, Wobbin;
    std::array<Control, kSlots> Option1;
    Control Coke, tttt2, dixie, Towhere, can, money;

    // Other windows, created on first use and again after a frame close retired them (the
    // openers, in dialogs.cpp, set the `release` that frees them).
    std::unique_ptr<Addmaps> addmaps;
    std::unique_ptr<skrewform> colour_dialog;
    std::unique_ptr<Aboutqim> about_box;

    // Start-up, selection and shutdown.
    void Form_Load();
    void Option1_Click(int Index);
    // Chooses slot k from code: exactly the user's click on it.
    void choose_slot(int k);
    void Quit_Click();
    void Exit_Click();
    void Form_Unload(int& Cancel);
    void frame_closed() override;

    // Painting.
    void Form_Paint(Canvas& canvas) override;

    // Catalogue editing.
    void savemaps();
    void Addmap_Click();
    void Clear_Click();
    void clearmaps_Click();
    void Moveme_Click();
    void Towhere_Click();
    void sort_Click();

    // Launcher.
    void Duke3d_Click();
    void Build_Click();
    void Setup_Click();
    void RID_Click();
    void RIB_Click();
    void RIS_Click();
    void RD_Click();
    void RB_Click();
    void RS_Click();
    void Random_Click();
    void Wobbin_Click();
    // The topics the launch commands reach.
    LaunchServices launching();

    // Other windows.
    void cc_Click();
    void About_Click();

    // Writes the database and shows in the slot captions what another program's changes, taken
    // in by the write, brought.
    bool save(Numbering numbering);

    // Hands a new window of the program to the backend. When the system will not make it, the
    // user is told why, followed by `consequence`, and the result is false.
    bool open_window(Form& form, const std::string& consequence);

  private:
    void lay_out_controls();
    void build_menu();
};

}  // namespace dorvane
