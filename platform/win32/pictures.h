// SPDX-License-Identifier: MIT
// The pictures the program carries, made into bitmaps on first use: the mascot frames, built into
// the program already decoded (see assets/), so that no image decoder and no COM is loaded; the
// window icon from the program's icon resource (the one Explorer shows).
#pragma once

#include <windows.h>

#include <map>

#include "platform/form.h"

namespace dorvane::win32 {

class Pictures {
  public:
    Pictures() = default;
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // nullptr when the program carries no such picture or it cannot be read.
    HBITMAP bitmap(Picture picture);
    // The window's icon in the system's large or small icon size; the system's default icon
    // when the program carries none (a test program, for one).
    HICON icon(bool small_icon);

  private:
    std::map<Picture, HBITMAP> bitmaps_;
    HICON icons_[2] = {nullptr, nullptr};
};

}  // namespace dorvane::win32
