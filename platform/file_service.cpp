// SPDX-License-Identifier: MIT
#include "platform/file_service.h"

namespace dorvane {

std::optional<FileWrite> changed_since(FileService& files, const std::string& name,
                                       std::optional<std::string_view> expected) {
    if (!expected)
        return std::nullopt;
    FileRead now = files.read_file(name, expected->size());
    if (now.status == FileRead::Status::Failed ||
        (now.status == FileRead::Status::Ok && !now.truncated && now.bytes == *expected))
        return std::nullopt;
    FileWrite changed{false, "it was changed by another program"};
    changed.changed = true;
    return changed;
}

}  // namespace dorvane
