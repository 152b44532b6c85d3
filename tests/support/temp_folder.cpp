// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace dorvane::testing {

TempFolder::TempFolder() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        auto candidate =
            std::filesystem::temp_directory_path() / ("dorvane-test-" + std::to_string(seed()));
        if (std::filesystem::create_directory(candidate))
            path_ = candidate;
    }
    if (path_.empty())
        throw std::runtime_error("cannot create a temporary folder");
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
    std::ostringstream out;
    out << std::ifstream(path_ / name, std::ios::binary).rdbuf();
    return out.str();
}

bool TempFolder::exists(const std::string& name) const {
    return std::filesystem::exists(path_ / name);
}

}  // namespace dorvane::testing
