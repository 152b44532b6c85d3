// The pictures the program carries (window icon, mascot frames), built into dorvane.exe as
// resources and decoded from JPEG with the Windows Imaging Component on first use.
#pragma once

#include <windows.h>

#include <map>

#include "platform/form.h"

namespace dorvane::win32 {

class Pictures {
  public:
    explicit Pictures(HINSTANCE instance) : instance_(instance) {}
    ~Pictures();
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // nullptr when the program carries no such picture or it cannot be decoded.
    HBITMAP bitmap(Picture picture);
    HICON icon(bool small);

  private:
    HINSTANCE instance_;
    std::map<Picture, HBITMAP> bitmaps_;
};

// Decodes an image file's bytes (JPEG, PNG, BMP) into a bitmap; nullptr if it cannot.
HBITMAP decode_image(const void* bytes, std::size_t size);

}  // namespace dorvane::win32
