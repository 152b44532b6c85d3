#include "platform/posix/files.h"

namespace dorvane {

PosixFiles::PosixFiles(std::string folder) : folder_(std::move(folder)) {}

std::string PosixFiles::path(const std::string& name) const {
    return folder_ + "/" + name;
}

FileRead PosixFiles::read_file(const std::string&, std::size_t) {
    return {};
}
FileWrite PosixFiles::replace_file(const std::string&, std::string_view) {
    return {};
}
FileWrite PosixFiles::keep_copy(const std::string&, const std::string&) {
    return {};
}
std::vector<std::string> PosixFiles::list_files(const std::string&) {
    return {};
}

}  // namespace dorvane
