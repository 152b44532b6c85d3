#include "assets/embedded.h"

namespace dorvane {

const EmbeddedFile* find_embedded(std::string_view name) {
    for (const EmbeddedFile* f = kEmbeddedFiles; f->name; ++f) {
        if (name == f->name)
            return f;
    }
    return nullptr;
}

}  // namespace dorvane
