// The pictures the program carries (window icon, mascot frames), built into the program (see
// assets/) and decoded on first use: the JPEG frames with the Windows Imaging Component.
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

    // nullptr when the program carries no such picture or it cannot be decoded.
    HBITMAP bitmap(Picture picture);
    // The window's 16 x 16 icon; the system's default one when the program carries none.
    HICON icon();

  private:
    std::map<Picture, HBITMAP> bitmaps_;
    HICON icon_ = nullptr;
};

// Decodes an image file's bytes (JPEG, PNG, BMP) into a bitmap; nullptr if it cannot.
HBITMAP decode_image(const void* bytes, std::size_t size);

}  // namespace dorvane::win32
