// SPDX-License-Identifier: MIT
#include "platform/win32/files.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cwchar>

#include "platform/win32/text.h"

namespace dorvane {

using win32::error_text;
using win32::narrow;
using win32::widen;

namespace {

// Closes a file handle however the function leaves.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    void close() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

FileWrite failed(DWORD code) {
    return {false, error_text(code)};
}

bool write_all(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

Win32Files::Win32Files(std::string folder) : folder_(std::move(folder)) {}

// Full paths: Wine's ReplaceFile fails on relative ones ("directory name invalid").
std::wstring Win32Files::path(const std::string& name) const {
    std::wstring relative =
        folder_.empty() || folder_ == "." ? widen(name) : widen(folder_ + "\\" + name);
    DWORD n = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return relative;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(relative.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

FileRead Win32Files::read_file(const std::string& name, std::size_t limit) {
    FileRead result;
    Handle file{CreateFileW(path(name).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            result.status = FileRead::Status::Missing;
            return result;
        }
        result.error = error_text(code);
        return result;
    }
    // One byte past the limit tells whether the file holds more. The bytes grow as they come
    // (a database is a few kilobytes): a buffer of the whole limit would be a megabyte of
    // memory touched at every start.
    std::string bytes;
    char chunk[16384];
    while (bytes.size() <= limit) {
        DWORD want =
            static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, limit + 1 - bytes.size()));
        DWORD got = 0;
        if (!ReadFile(file.h, chunk, want, &got, nullptr)) {
            result.error = error_text(GetLastError());
            return result;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    result.truncated = bytes.size() > limit;
    bytes.resize(std::min(bytes.size(), limit));
    result.bytes = std::move(bytes);
    result.status = FileRead::Status::Ok;
    return result;
}

namespace {

// Writers of one file take turns through a mutex named after its full path. Windows releases a
// mutex whose holder died (the next wait returns WAIT_ABANDONED), so a crash never blocks.
class FileLock {
  public:
    explicit FileLock(const std::wstring& path) {
        std::wstring lower = path;
        CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
        std::uint64_t hash = 14695981039346656037ull;  // FNV-1a: names may not hold '\\'
        for (wchar_t c : lower)
            hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
        wchar_t name[64];
        swprintf(name, 64, L"Global\\Dorvane-save-%016llx", static_cast<unsigned long long>(hash));
        mutex_ = CreateMutexW(nullptr, FALSE, name);
    }
    ~FileLock() {
        if (held_)
            ReleaseMutex(mutex_);
        if (mutex_)
            CloseHandle(mutex_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Without a mutex (none could be made) the write goes on unguarded.
    bool acquire() {
        if (!mutex_)
            return true;
        DWORD waited = WaitForSingleObject(mutex_, 2000);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        return held_;
    }

  private:
    HANDLE mutex_ = nullptr;
    bool held_ = false;
};

}  // namespace

std::wstring Win32Files::temp_path(const std::string& name) const {
    return path("." + name + ".tmp");
}

namespace {

bool read_all(HANDLE h, std::string& into) {
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buffer, sizeof buffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        into.append(buffer, got);
    }
}

// Writes `bytes` as the file's whole content, from its start, and flushes it.
bool write_whole(HANDLE h, std::string_view bytes) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(h, start, nullptr, FILE_BEGIN) && write_all(h, bytes) &&
           SetEndOfFile(h) && FlushFileBuffers(h);
}

// Rewrites the file through its own handle, where no new file can be made beside it (a folder
// the user may not write): it keeps its every attribute and its security as they are. It cannot
// be atomic: the room is reserved first, so that a full disk stops it before any byte changed,
// and the old content, read first, is written back when the new one cannot be written whole.
FileWrite rewrite_in_place(const std::wstring& path, std::string_view bytes) {
    Handle file{CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return failed(GetLastError());
    std::string old;
    if (!read_all(file.h, old))
        return failed(GetLastError());
    if (bytes.size() > old.size()) {
        FILE_ALLOCATION_INFO room{};
        room.AllocationSize.QuadPart = static_cast<LONGLONG>(bytes.size());
        if (!SetFileInformationByHandle(file.h, FileAllocationInfo, &room, sizeof room)) {
            DWORD code = GetLastError();
            if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL)
                return failed(code);
        }
    }
    if (write_whole(file.h, bytes))
        return {true, {}};
    FileWrite result = failed(GetLastError());
    result.old_kept = write_whole(file.h, old);
    return result;
}

}  // namespace

FileWrite Win32Files::replace_file(const std::string& name, std::string_view bytes,
                                   std::optional<std::string_view> expected) {
    std::wstring target = path(name);
    FileLock lock(target);
    if (!lock.acquire())
        return {false, "another program has been writing it for two seconds without end"};
    DWORD old = GetFileAttributesW(target.c_str());
    bool existed = old != INVALID_FILE_ATTRIBUTES;
    if (existed && (old & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return {false, old & FILE_ATTRIBUTE_DIRECTORY ? "it is a folder, not a file"
                                                      : "it is not a regular file"};
    if (auto changed = changed_since(*this, name, expected))
        return *changed;
    // One name per file: we hold the lock, so one left there was left by a crash.
    std::wstring temp = temp_path(name);
    Handle file{CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        // A folder we may not write can still hold a file we may.
        if (existed && code == ERROR_ACCESS_DENIED)
            return rewrite_in_place(target, bytes);
        return failed(code);
    }
    if (!write_all(file.h, bytes) || !FlushFileBuffers(file.h)) {
        DWORD code = GetLastError();
        file.close();
        DeleteFileW(temp.c_str());
        return failed(code);
    }
    file.close();
    // The old file's hidden or system mark stays with the name (Wine's ReplaceFile drops it).
    if (existed)
        SetFileAttributesW(temp.c_str(),
                           old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED));

    // ReplaceFile keeps the old file's attributes and security; a new file is simply moved in.
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return {true, {}};
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND &&
        MoveFileExW(temp.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {true, {}};
    if (code == ERROR_FILE_NOT_FOUND)
        code = GetLastError();
    DeleteFileW(temp.c_str());
    return failed(code);
}

FileWrite Win32Files::keep_copy(const std::string& name, const std::string& copy_name) {
    if (!CopyFileW(path(name).c_str(), path(copy_name).c_str(), TRUE))
        return failed(GetLastError());
    return {true, {}};
}

FileListing Win32Files::list_files(const std::string& pattern, Hidden hidden) {
    FileListing listing;
    std::vector<std::string>& names = listing.names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(path(pattern).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        // No file matching is an empty folder's answer; anything else is a failure.
        DWORD code = GetLastError();
        listing.ok = code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES;
        if (!listing.ok)
            listing.error = error_text(code);
        return listing;
    }
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
            continue;
        if (hidden == Hidden::LeftOut && (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            continue;
        // The system's own matching also tries the short 8.3 names, so "*.map" would take
        // "a.mapx": filter again by the long name.
        std::string file = narrow(found.cFileName);
        if (matches_pattern(file, pattern))
            names.push_back(std::move(file));
    } while (FindNextFileW(search, &found));
    DWORD code = GetLastError();
    FindClose(search);
    if (code != ERROR_NO_MORE_FILES) {
        names.clear();
        listing.error = error_text(code);
        return listing;
    }
    std::sort(names.begin(), names.end());
    listing.ok = true;
    return listing;
}

NameOnDisk Win32Files::real_name(const std::string& name) {
    const NameOnDisk none{NameOnDisk::Status::None, {}, {}};
    // A bare name only, and no wildcards: the system's search would take them as a pattern.
    if (name.empty() || name.find_first_of("/\\:*?") != std::string::npos || name == "." ||
        name == "..")
        return none;
    // One lookup of that name, which the system matches in any letter case; the entry found
    // carries the name as it is on disk.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(path(name).c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return none;
        return {NameOnDisk::Status::Failed, {}, error_text(code)};
    }
    FindClose(search);
    if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return none;
    return {NameOnDisk::Status::Found, narrow(found.cFileName), {}};
}

}  // namespace dorvane
