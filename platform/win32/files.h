// SPDX-License-Identifier: MIT
// File services on Windows, for every backend that runs there: whole-file reads, crash-safe
// replacement, kept copies and file lists, in one folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_service.h"
#include "platform/pattern.h"

namespace dorvane {

class Win32Files : public FileService {
  public:
    // Bare names resolve in `folder` ("." for the current folder).
    explicit Win32Files(std::string folder = ".");

    FileRead read_file(const std::string& name, std::size_t limit) override;
    // Writes a fresh file beside the old one ("." + name + ".tmp"), flushes it to disk, then
    // swaps it in with ReplaceFile (which keeps the old file's attributes and security) or, for
    // a new file, a write-through move. Where no file can be made beside it (a folder the user
    // may not write) the file is rewritten in place. A folder is refused. Writers of one file
    // take turns through a named mutex.
    // `expected`: see FileService::replace_file.
    FileWrite replace_file(const std::string& name, std::string_view bytes,
                           std::optional<std::string_view> expected = std::nullopt) override;
    FileWrite keep_copy(const std::string& name, const std::string& copy_name) override;
    // Not ok when the folder cannot be searched (missing, access denied) or not to the end; a
    // folder without a matching file lists none.
    FileListing list_files(const std::string& pattern, Hidden hidden = Hidden::Listed) override;
    // The system finds a file in any letter case; this gives the name as it is on disk.
    NameOnDisk real_name(const std::string& name) override;

    const std::string& folder() const { return folder_; }

  private:
    std::wstring path(const std::string& name) const;
    std::wstring temp_path(const std::string& name) const;
    std::string folder_;
};

}  // namespace dorvane
