// File services on a POSIX system, for every backend that runs there: whole-file reads,
// crash-safe replacement, kept copies and file lists, in one folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace dorvane {

class PosixFiles {
  public:
    // Bare names resolve in `folder` ("." for the current folder).
    explicit PosixFiles(std::string folder = ".");

    FileRead read_file(const std::string& name, std::size_t limit);
    FileWrite replace_file(const std::string& name, std::string_view bytes);
    FileWrite keep_copy(const std::string& name, const std::string& copy_name);
    std::vector<std::string> list_files(const std::string& pattern);

    const std::string& folder() const { return folder_; }

  private:
    std::string path(const std::string& name) const;
    std::string folder_;
};

}  // namespace dorvane
