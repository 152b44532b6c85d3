// The map file picker: lists the map files of the current folder and puts the chosen one into
// the main window's current slot.
#pragma once

#include "platform/form.h"

namespace dorvane {

class Dorvane;

class Addmaps : public Form {
  public:
    explicit Addmaps(Dorvane& main);
    ~Addmaps() override;

    Control MapFiles, Done;

    void Done_Click();
    void MapFiles_DblClick();
    void frame_closed() override;
    Dorvane& main_window;
};

}  // namespace dorvane
