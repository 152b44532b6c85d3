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

namespace {

const EmbeddedFile* find_frame(int n) {
    std::string name = "wobbin" + std::to_string(n);
    const EmbeddedFile* jpeg = find_embedded(name + ".jpg");
    return jpeg ? jpeg : find_embedded(name + ".ppm");
}

}  // namespace

const EmbeddedFile* find_picture(Picture picture) {
    switch (picture) {
        case Picture::Icon:
            return find_icon(16);
        case Picture::Frame1:
            return find_frame(1);
        case Picture::Frame2:
            return find_frame(2);
        case Picture::Frame3:
            return find_frame(3);
        case Picture::Frame4:
            return find_frame(4);
        case Picture::None:
            break;
    }
    return nullptr;
}

const EmbeddedFile* find_icon(int size) {
    return find_embedded("icon" + std::to_string(size) + ".ppm");
}

}  // namespace dorvane
