// SPDX-License-Identifier: MIT
#include "assets/embedded.h"

#include <string>

namespace dorvane {

const EmbeddedFile* find_embedded(std::string_view name) {
    for (const EmbeddedFile* f = kEmbeddedFiles; f->name; ++f) {
        if (name == f->name)
            return f;
    }
    return nullptr;
}

const EmbeddedFile* find_picture(Picture picture) {
    switch (picture) {
        case Picture::Icon:
            return find_icon(16);
        case Picture::Frame1:
            return find_embedded("wobbin1.jpg");
        case Picture::Frame2:
            return find_embedded("wobbin2.jpg");
        case Picture::Frame3:
            return find_embedded("wobbin3.jpg");
        case Picture::Frame4:
            return find_embedded("wobbin4.jpg");
        case Picture::None:
            break;
    }
    return nullptr;
}

const EmbeddedFile* find_icon(int size) {
    return find_embedded("icon" + std::to_string(size) + ".ppm");
}

}  // namespace dorvane
