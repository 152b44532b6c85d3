// SPDX-License-Identifier: MIT
// The pictures the program carries, decoded on first use: the mascot frames, built into the
// program (see assets/), with the Windows Imaging Component; the window icon from the program's
// icon resource (the one Explorer shows). COM, which the imaging component needs, is loaded and
// initialised with the first frame, so the program's window shows and paints without it.
#pragma once

#include <windows.h>

#include <map>

#include "platform/form.h"

struct IWICImagingFactory;

namespace dorvane::win32 {

class Pictures {
  public:
    Pictures() = default;
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // nullptr when the program carries no such picture or it cannot be decoded.
    HBITMAP bitmap(Picture picture);
    // The window's icon in the system's large or small icon size; the system's default icon
    // when the program carries none (a test program, for one).
    HICON icon(bool small_icon);

  private:
    // The imaging component's factory, made at the first call; nullptr if it cannot be.
    IWICImagingFactory* imaging();

    std::map<Picture, HBITMAP> bitmaps_;
    HICON icons_[2] = {nullptr, nullptr};
    HMODULE ole32_ = nullptr;
    bool com_initialised_ = false;
    bool imaging_tried_ = false;
    IWICImagingFactory* imaging_ = nullptr;
};

}  // namespace dorvane::win32
