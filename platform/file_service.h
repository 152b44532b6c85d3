// SPDX-License-Identifier: MIT
// Files in the program's folder: whole-file reads, crash-safe replacement, kept copies, file
// lists and the name a file has on disk. Names are bare names in that folder.
//
// Every operation reports its failure with the reason in words for the user (the system's own
// error text), and never passes a failure off as an empty or missing result: a folder that
// cannot be read is not a folder without files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvane {

struct FileRead {
    enum class Status { Ok, Missing, Failed };
    Status status = Status::Failed;
    std::string bytes;       // the content read, at most `limit` bytes
    bool truncated = false;  // the file holds more than `limit` bytes
    std::string error;       // why it failed, in words for the user
};

struct FileWrite {
    bool ok = false;
    std::string error;  // why it failed, in words for the user
    // Not written because the file no longer holds what the caller expected; nothing changed.
    bool changed = false;
    // False only when a failed rewrite in place could not put the old content back either.
    bool old_kept = true;
};

struct FileListing {
    bool ok = false;
    std::vector<std::string> names;  // sorted; empty when the listing failed
    std::string error;               // why the folder could not be read, in words for the user
};

struct NameOnDisk {
    enum class Status { Found, None, Failed };
    Status status = Status::Failed;
    std::string name;   // Found: the name as it is on disk
    std::string error;  // Failed: why the folder could not be searched, in words for the user
};

// Whether a file listing takes the files the system marks hidden (a leading dot on POSIX systems,
// the hidden attribute on Windows), which the system's own file lists leave out.
enum class Hidden { LeftOut, Listed };

class FileService {
  public:
    virtual ~FileService() = default;

    // Reads the whole file, up to `limit` bytes.
    virtual FileRead read_file(const std::string& name, std::size_t limit) = 0;
    // Replaces the file's whole content, flushed to disk, in one atomic step where the system
    // allows it: an interruption leaves either the old or the new file. An existing file keeps
    // its identity (links, owner, permissions, access lists and attributes), and the new content
    // is never readable or writable by anyone the old file kept out. Only a regular file is
    // written: a folder, a device or a pipe is refused. With `expected`, the file is replaced only
    // while it still holds exactly those bytes; otherwise nothing changes and `changed` is set. Two
    // programs replacing the same file take turns.
    virtual FileWrite replace_file(const std::string& name, std::string_view bytes,
                                   std::optional<std::string_view> expected) = 0;
    // Keeps a copy of file `name` under `copy_name`; fails, changing nothing, when a file of that
    // name exists already.
    virtual FileWrite keep_copy(const std::string& name, const std::string& copy_name) = 0;
    // Names of the regular files matching `pattern` ("*.map"; letter case is ignored), sorted.
    // Not ok when the folder could not be read, or not to the end.
    virtual FileListing list_files(const std::string& pattern, Hidden hidden) = 0;
    // The name on disk of the regular file `name`, which may differ from it in letter case: the
    // exact name when that file exists, found without reading the folder; otherwise the first
    // in byte order of those differing only in letter case. None: the folder was searched and
    // holds no such file (or `name` is no bare file name); Failed: it could not be searched.
    virtual NameOnDisk real_name(const std::string& name) = 0;
};

// The comparison of replace_file's `expected`, for a system's replace_file to make while it holds
// its writers' lock: nothing when the file, read through `files`, still holds exactly `expected`
// (or no `expected` was given); otherwise the `changed` result to return. A file that cannot be
// read for another reason than its absence is not judged here: the write that follows reports why.
std::optional<FileWrite> changed_since(FileService& files, const std::string& name,
                                       std::optional<std::string_view> expected);

}  // namespace dorvane
