// SPDX-License-Identifier: MIT
// The program's pictures as images for the screen: the window icon and the mascot's frames,
// decoded from the bytes built into the program the first time each is needed, and scaled with
// the screen. A picture that was not built in, or does not decode, is simply absent.
#pragma once

#include <FL/Fl_Image.H>

#include <array>
#include <cstddef>
#include <list>
#include <memory>
#include <vector>

#include "platform/fltk/scale.h"
#include "platform/form.h"

namespace dorvane::fltk {

class PictureStore {
  public:
    explicit PictureStore(const Scale& scale) : scale_(scale) {}

    // The picture at the screen's scale, or nullptr.
    Fl_RGB_Image* get(Picture picture);

    // The window icon in every size built in, smallest first, unscaled (the window manager
    // picks the size it shows); empty when none is.
    const std::vector<const Fl_RGB_Image*>& icons();

  private:
    std::vector<std::unique_ptr<Fl_RGB_Image>> icon_images_;
    std::list<std::vector<unsigned char>> icon_pixels_;  // of icons that are not 8-bit
    std::vector<const Fl_RGB_Image*> icons_;
    bool icons_tried_ = false;
    const Scale& scale_;
    std::array<std::unique_ptr<Fl_RGB_Image>, 6> images_;
    std::array<bool, 6> tried_{};
};

// Decodes a JPEG through FLTK; nullptr when the bytes are no whole JPEG of at most 1024 x 1024
// colour pixels. Damaged bytes never make it read past them or crash.
std::unique_ptr<Fl_RGB_Image> decode_jpeg(const unsigned char* bytes, std::size_t size);

}  // namespace dorvane::fltk
