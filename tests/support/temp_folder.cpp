// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace dorvane::testing {

TempFolder::TempFolder()
    : path_(std::filesystem::temp_directory_path() /
            ("dorvane-test-" + std::to_string(std::random_device()()))) {
    if (!std::filesystem::create_directory(path_))
        throw std::runtime_error("cannot create a temporary folder " + path_.string());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace dorvane::testing
