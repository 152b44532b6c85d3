// Files built into the program: the window icon (icon16.ppm) and the mascot pictures
// (wobbin1.jpg to wobbin4.jpg), found by their bare file names.
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
const EmbeddedFile* find_picture(Picture picture);

}  // namespace dorvane
