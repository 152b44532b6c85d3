// The colour settings dialog: nine pick-only lists of the nine-name palette, each with a preview
// label, that edit pending copies of the main window's colours until Ok commits them.
#pragma once

#include "platform/form.h"

namespace dorvane {

class Dorvane;

class skrewform : public Form {
  public:
    explicit skrewform(Dorvane& main);
    ~skrewform() override;

    void frame_closed() override;
    Dorvane& main_window;
};

}  // namespace dorvane
