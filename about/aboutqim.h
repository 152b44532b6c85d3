// The about box: the credits, the author's addresses and the "42" joke panel.
#pragma once

#include "platform/form.h"

namespace dorvane {

class Dorvane;

class Aboutqim : public Form {
  public:
    explicit Aboutqim(Dorvane& main);
    ~Aboutqim() override;

    void frame_closed() override;
    Dorvane& main_window;
};

}  // namespace dorvane
