// SPDX-License-Identifier: MIT
// The about box: the credits, the author's addresses and the "42" joke panel.
//
// It reads and writes nothing of the catalogue or the settings; it needs only the services, for
// the joke's message. Its button hides it, keeping it for the next About; a close through the
// window frame hides and retires it, and whoever made it frees it through `release`. The close
// button comes first in the focus order, so Enter right after opening hides the box.
#pragma once

#include <array>

#include "platform/form.h"
#include "platform/message_box_service.h"
#include "platform/window_service.h"

namespace dorvane {

class Aboutqim : public Form {
  public:
    Aboutqim(WindowService& windows, MessageBoxService& boxes);
    ~Aboutqim() override;

    Control closeabout, info, Label2, Text1, Label3, Label1, Text2;
    // The joke panel: the lines draw a 4, then "2", "IS", and the frame "the" with its button.
    Control Frame666;
    std::array<Control, 14> Line;  // Line1 to Line14 at indices 0 to 13
    Control Label4, Text3, Frame1, Command1;

    void closeabout_Click();
    void Command1_Click();
    void frame_closed() override;

    WindowService& windows;
    MessageBoxService& boxes;

  private:
    void lay_out_controls();
    void lay_out_panel();
};

}  // namespace dorvane
