// SPDX-License-Identifier: MIT
// File services on a POSIX system, for every backend that runs there: whole-file reads,
// crash-safe replacement, kept copies and file lists, in one folder.
//
// replace_file writes the new content to a temporary file beside the target, always named
// "." + name + ".tmp", flushes it, gives it the old file's owner, group, extended attributes (its
// ACL and security label among them) and permissions, and renames it over the target, then
// flushes the folder. Writers of one folder take turns through a lock on the folder (held only
// while they write, and gone with a writer that dies), so the one temporary name is never shared,
// and a temporary file found there was left by a crash and is removed: no folder is ever listed
// to find one. Where a rename would change the file's identity (another user's file, more than
// one hard link, attributes that cannot be copied, a folder we may not write) the file is
// rewritten in place instead. Only regular files are written: a folder, a device, a pipe or a
// socket is refused. Messages are in words for the user (the system's error text).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_service.h"
#include "platform/pattern.h"

namespace dorvane {

class PosixFiles : public FileService {
  public:
    // Bare names resolve in `folder` ("." for the current folder).
    explicit PosixFiles(std::string folder = ".");

    // Only regular files are read; anything else (a folder, a pipe) fails without blocking.
    FileRead read_file(const std::string& name, std::size_t limit) override;
    // Symbolic links are followed to the file they name, which is created there when it does
    // not exist yet; the links stay. A file we may not write is not replaced, even where the
    // folder would allow it. `expected`: see FileService::replace_file.
    FileWrite replace_file(const std::string& name, std::string_view bytes,
                           std::optional<std::string_view> expected = std::nullopt) override;
    // A byte copy, never a hard link (a rewrite in place would change both); it never replaces
    // an existing `copy_name`.
    FileWrite keep_copy(const std::string& name, const std::string& copy_name) override;
    // `pattern` takes '*' (any run of characters) and '?' (one character). Hidden files are
    // those whose name begins with a dot. Not ok when the folder cannot be opened or read.
    FileListing list_files(const std::string& pattern, Hidden hidden = Hidden::Listed) override;
    // See FileService::real_name.
    NameOnDisk real_name(const std::string& name) override;

    const std::string& folder() const { return folder_; }

    // The name of the temporary file that replace_file(name) creates beside the file.
    static std::string temp_name(const std::string& name);

  private:
    std::string path(const std::string& name) const;
    std::string folder_;
};

}  // namespace dorvane
