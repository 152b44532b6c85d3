// SPDX-License-Identifier: MIT
// Files built into the program: the window icon in several sizes (icon16.ppm to icon256.ppm; a
// Windows build carries it as a resource instead) and the mascot pictures (wobbin1.jpg to
// wobbin4.jpg; a Windows build carries them decoded, as wobbin1.ppm to wobbin4.ppm), found by
// their bare file names.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/form.h"

namespace dorvane {

struct EmbeddedFile {
    const char* name;
    const unsigned char* bytes;
    std::size_t size;
};

// Ends with an entry whose name is null.
extern const EmbeddedFile kEmbeddedFiles[];

// The file of that name, or nullptr when it was not there when the program was built.
const EmbeddedFile* find_embedded(std::string_view name);

// The file that holds a picture of the program, or nullptr (Picture::None, or not built in).
// Picture::Icon is the 16 x 16 icon; a frame is its JPEG or, in a Windows build, its PPM.
const EmbeddedFile* find_picture(Picture picture);

// The sizes, in pixels, in which the icon is drawn (tools/icon/make_icon.py).
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The icon of that size ("iconN.ppm"), or nullptr.
const EmbeddedFile* find_icon(int size);

}  // namespace dorvane
