// File services on a POSIX system, for every backend that runs there: whole-file reads,
// crash-safe replacement, kept copies and file lists, in one folder.
//
// replace_file writes the new content to a temporary file beside the target (named
// "." + name + ".tmp-" + process id + "-" + a counter), flushes it, gives it the old file's
// permissions and renames it over the target, then flushes the folder. A temporary file left by
// a process that died in the middle is removed by the next replace_file of the same name.
// Messages are in words for the user (the system's error text).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/pattern.h"
#include "platform/services.h"

namespace dorvane {

class PosixFiles {
  public:
    // Bare names resolve in `folder` ("." for the current folder).
    explicit PosixFiles(std::string folder = ".");

    // Only regular files are read; anything else (a folder, a pipe) fails without blocking.
    FileRead read_file(const std::string& name, std::size_t limit);
    // A symbolic link is followed: its target is replaced and the link stays. A file we may not
    // write is not replaced, even where the folder would allow it.
    FileWrite replace_file(const std::string& name, std::string_view bytes);
    // A hard link where the file system allows one, otherwise a byte copy; neither ever replaces
    // an existing `copy_name`.
    FileWrite keep_copy(const std::string& name, const std::string& copy_name);
    // `pattern` takes '*' (any run of characters) and '?' (one character). Hidden files are
    // those whose name begins with a dot.
    std::vector<std::string> list_files(const std::string& pattern, Hidden hidden = Hidden::Listed);

    const std::string& folder() const { return folder_; }

    // The prefix of the temporary files that replace_file(name) creates.
    static std::string temp_prefix(const std::string& name);

  private:
    std::string path(const std::string& name) const;
    void remove_stale_temps(const std::string& dir, const std::string& base);
    std::string folder_;
};

}  // namespace dorvane
