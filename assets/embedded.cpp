#include "assets/embedded.h"

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
            return find_embedded("icon16.ppm");
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

}  // namespace dorvane
