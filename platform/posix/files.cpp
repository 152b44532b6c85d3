// SPDX-License-Identifier: MIT
#include "platform/posix/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/posix/real_name.h"

namespace dorvane {

namespace {

std::string system_error() {
    return std::strerror(errno);
}

// Closes a descriptor when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the error a late write may only show here.
    bool close() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Reports the current error after removing the half-written file at `path`.
FileWrite failed_removing(const std::string& path) {
    FileWrite failed{false, system_error()};
    ::unlink(path.c_str());
    return failed;
}

// Flushes a folder's entries, so that a rename or a new link survives a power loss. Some file
// systems cannot do it; the rename itself is atomic either way, so a failure here is not reported.
void sync_folder(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Opens a regular file for reading; a folder or a pipe fails at once instead of blocking.
int open_regular(const std::string& path, struct stat& st, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = system_error();
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        bool folder = S_ISDIR(st.st_mode);
        error = folder ? "it is a folder, not a file" : "it is not a regular file";
        ::close(fd);
        errno = folder ? EISDIR : EINVAL;
        return -1;
    }
    return fd;
}

void split_path(const std::string& path, std::string& dir, std::string& base) {
    auto slash = path.rfind('/');
    // Whole strings moved in: GCC 12 warns falsely (-Wrestrict) on a literal assigned here.
    bool bare = slash == std::string::npos;
    dir = bare ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);  // "/" in the root
    base = bare ? path : path.substr(slash + 1);
}

bool pwrite_all(int fd, std::string_view bytes) {
    off_t at = 0;
    while (!bytes.empty()) {
        ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), at);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        at += n;
    }
    return true;
}

// Reads from the descriptor's position to the end, at most `limit` bytes (one more tells that
// the file holds more).
bool read_all(int fd, std::string& into, std::size_t limit) {
    char buffer[16384];
    while (into.size() <= limit) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        into.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// Follows symbolic links to the path they finally name, which need not exist yet (a user may
// keep the catalogue elsewhere before it was ever written). A relative link resolves against the
// folder that holds it.
bool resolve_links(std::string& path, std::string& error) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            error = system_error();
            return false;
        }
        target.resize(static_cast<std::size_t>(n));
        if (target.empty() || target[0] == '/') {
            path = target;
        } else {
            std::string dir, base;
            split_path(path, dir, base);
            path = dir + "/" + target;
        }
    }
    errno = ELOOP;
    error = system_error();
    return false;
}

// Writers of one folder take turns: the lock is held only while one writes, and it goes with the
// descriptor, so a writer that died never blocks the next. A folder that cannot be locked (no
// read permission, a file system without locks) is written without it.
class FolderLock {
  public:
    explicit FolderLock(const std::string& dir)
        : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    bool acquire(std::string& error) {
        if (fd_.get() < 0)
            return true;
        // A writer holds it for a few milliseconds; one that holds it for seconds is stopped.
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0)
                return true;
            if (errno != EWOULDBLOCK && errno != EINTR)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        error = "another program has been writing in its folder for two seconds without end";
        return false;
    }

  private:
    Fd fd_;
};

// Rewrites the file through its own descriptor, so that the file stays the same file: every
// hard link, its owner, group, mode, ACLs and attributes stay as they are. It cannot be atomic:
// the room is reserved first, so that a full disk stops it before any byte changed, and the old
// content, read first, is written back when the new one cannot be written whole.
FileWrite rewrite_in_place(const std::string& path, std::string_view bytes) {
    int raw = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (raw < 0)
        return {false, system_error()};
    Fd fd(raw);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {false, system_error()};
    if (!S_ISREG(st.st_mode))
        return {false, "it is not a regular file"};
    std::string old;
    if (!read_all(fd.get(), old, static_cast<std::size_t>(st.st_size) + (1 << 20)))
        return {false, system_error()};
#ifdef __linux__
    if (bytes.size() > old.size() &&
        ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
        return {false, system_error()};
#endif
    if (pwrite_all(fd.get(), bytes) &&
        ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd.get()) == 0)
        return {true, {}};
    FileWrite failed{false, system_error()};
    failed.old_kept = pwrite_all(fd.get(), old) &&
                      ::ftruncate(fd.get(), static_cast<off_t>(old.size())) == 0 &&
                      ::fsync(fd.get()) == 0;
    return failed;
}

// One of the list and get calls of <sys/xattr.h>, asked with a buffer, which it fills with at
// most that many bytes and answers with the length (or -1).
using AttributeCall = std::function<ssize_t(char*, std::size_t)>;

// Reads a whole attribute value or name list through `call`, which may grow between the call that
// asks the size and the one that reads.
bool read_attribute(const AttributeCall& call, std::string& into) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        ssize_t size = call(nullptr, 0);
        if (size < 0)
            return false;
        into.assign(static_cast<std::size_t>(size), '\0');
        ssize_t got = call(into.data(), into.size());
        if (got >= 0) {
            into.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    return false;
}

// The names of a file's extended attributes; none on a file system that has no such attributes.
bool attribute_names(const AttributeCall& list, std::vector<std::string>& names) {
    std::string all;
    if (!read_attribute(list, all))
        return errno == ENOTSUP;
    for (std::size_t at = 0; at < all.size();) {
        std::size_t end = all.find('\0', at);
        if (end == std::string::npos)
            end = all.size();
        if (end > at)
            names.push_back(all.substr(at, end - at));
        at = end + 1;
    }
    return true;
}

// Gives the new file at `to` exactly the extended attributes of the file at `from`: they hold the
// ACL (system.posix_acl_access), security labels and what the user stored there, which a rename
// of a fresh file would otherwise drop. One the new file got that the old one lacks goes, for a
// folder's default ACL gives every new file an ACL of its own, which may grant more than the old
// file did. False when one cannot be copied or removed: the caller then rewrites in place.
bool copy_attributes(const std::string& from, int to) {
    std::vector<std::string> theirs, ours;
    if (!attribute_names([&](char* b, std::size_t n) { return ::listxattr(from.c_str(), b, n); },
                         theirs) ||
        !attribute_names([&](char* b, std::size_t n) { return ::flistxattr(to, b, n); }, ours))
        return false;
    for (const std::string& name : theirs) {
        std::string value, now;
        if (!read_attribute(
                [&](char* b, std::size_t n) {
                    return ::getxattr(from.c_str(), name.c_str(), b, n);
                },
                value))
            return false;
        // Labels the system gives every new file alike are left as they are, not set again.
        if (read_attribute(
                [&](char* b, std::size_t n) { return ::fgetxattr(to, name.c_str(), b, n); }, now) &&
            now == value)
            continue;
        if (::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    }
    for (const std::string& name : ours)
        if (std::find(theirs.begin(), theirs.end(), name) == theirs.end() &&
            ::fremovexattr(to, name.c_str()) != 0)
            return false;
    return true;
}

}  // namespace

PosixFiles::PosixFiles(std::string folder) : folder_(std::move(folder)) {}

std::string PosixFiles::path(const std::string& name) const {
    return folder_ + "/" + name;
}

std::string PosixFiles::temp_name(const std::string& name) {
    return "." + name + ".tmp";
}

FileRead PosixFiles::read_file(const std::string& name, std::size_t limit) {
    FileRead result;
    struct stat st {};
    int raw = open_regular(path(name), st, result.error);
    if (raw < 0) {
        result.status = errno == ENOENT ? FileRead::Status::Missing : FileRead::Status::Failed;
        return result;
    }
    Fd fd(raw);
    // Read one byte past the limit to learn whether the file is larger.
    if (!read_all(fd.get(), result.bytes, limit)) {
        result.error = system_error();
        result.bytes.clear();
        return result;
    }
    if (result.bytes.size() > limit) {
        result.bytes.resize(limit);
        result.truncated = true;
    }
    result.status = FileRead::Status::Ok;
    return result;
}

FileWrite PosixFiles::replace_file(const std::string& name, std::string_view bytes,
                                   std::optional<std::string_view> expected) {
    std::string target = path(name), error;
    if (!resolve_links(target, error))
        return {false, error};
    std::string dir, base;
    split_path(target, dir, base);
    FolderLock lock(dir);
    if (!lock.acquire(error))
        return {false, error};

    struct stat st {};
    bool existed = ::stat(target.c_str(), &st) == 0;
    // A rename would put a file in place of a device, a pipe or a socket (through a link, even in
    // place of a system device), and a write into one would reach whatever is behind it.
    if (existed && !S_ISREG(st.st_mode))
        return {false,
                S_ISDIR(st.st_mode) ? "it is a folder, not a file" : "it is not a regular file"};
    if (auto changed = changed_since(*this, name, expected))
        return *changed;
    // A file its owner made read-only is not replaced behind their back, though the folder
    // would allow the rename.
    if (existed && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return {false, system_error()};
    // A rename makes a new file, and every other hard link would keep the old content.
    if (existed && st.st_nlink > 1)
        return rewrite_in_place(target, bytes);

    // We hold the lock, so a temporary file of this name is no other writer's: a crash left it.
    const std::string temp = dir + "/" + temp_name(base);
    ::unlink(temp.c_str());
    // The new file grants nobody but its maker anything until it has the old file's attributes:
    // a descriptor opened on it before then would keep its access after the rename.
    int raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existed ? 0600 : 0666);
    if (raw < 0) {
        // A folder we may not write can still hold a file we may.
        if (existed && (errno == EACCES || errno == EPERM))
            return rewrite_in_place(target, bytes);
        return {false, system_error()};
    }
    Fd fd(raw);
    auto fail = [&] { return failed_removing(temp); };
    auto in_place = [&] {
        ::unlink(temp.c_str());
        return rewrite_in_place(target, bytes);
    };
    if (existed) {
        struct stat made {};
        if (::fstat(fd.get(), &made) != 0)
            return fail();
        // Only root may give a file away: another user's file is rewritten in place instead,
        // so that it keeps its owner and group. The owner comes first, since a change of owner
        // clears some security attributes.
        if ((made.st_uid != st.st_uid || made.st_gid != st.st_gid) &&
            ::fchown(fd.get(), st.st_uid, st.st_gid) != 0)
            return in_place();
        // The mode alone never stands in for an ACL: where a file has one, the mode's group bits
        // are the ACL's mask, the most any named user or group may get, so that the same mode on
        // a file without the ACL would grant the owning group the mask (rw- where the group had
        // r--). A file whose attributes cannot all be copied is rewritten in place instead.
        if (!copy_attributes(target, fd.get()))
            return in_place();
        // With the ACL in place, the old mode sets the same mask; it adds the setuid, setgid and
        // sticky bits, which the ACL does not carry.
        if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
            return fail();
    }
    if (!write_all(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close())
        return fail();
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int code = errno;
        FileWrite failed = fail();
        // A sticky folder refuses the rename over another's file, and a file that is a mount
        // point of its own cannot be renamed over; both can still be rewritten.
        if (existed && (code == EACCES || code == EPERM || code == EBUSY))
            return rewrite_in_place(target, bytes);
        return failed;
    }
    sync_folder(dir);
    return {true, {}};
}

FileWrite PosixFiles::keep_copy(const std::string& name, const std::string& copy_name) {
    const std::string source = path(name);
    const std::string copy = path(copy_name);
    std::string dir, base;
    split_path(copy, dir, base);
    struct stat st {};
    std::string error;
    int raw_in = open_regular(source, st, error);
    if (raw_in < 0)
        return {false, error};
    Fd in(raw_in);
    int raw_out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (raw_out < 0)
        return {false, system_error()};
    Fd out(raw_out);
    auto fail = [&] { return failed_removing(copy); };
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(in.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 ||
            !write_all(out.get(), {buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))}))
            return fail();
        if (n == 0)
            break;
    }
    if (::fsync(out.get()) != 0 || !out.close())
        return fail();
    sync_folder(dir);
    return {true, {}};
}

FileListing PosixFiles::list_files(const std::string& pattern, Hidden hidden) {
    FileListing listing;
    std::vector<std::string>& names = listing.names;
    DIR* d = ::opendir(folder_.c_str());
    if (!d) {
        listing.error = system_error();
        return listing;
    }
    for (;;) {
        // readdir tells its end from its failure only through errno.
        errno = 0;
        dirent* entry = ::readdir(d);
        if (!entry) {
            if (errno != 0) {
                listing.error = system_error();
                names.clear();
                ::closedir(d);
                return listing;
            }
            break;
        }
        if (hidden == Hidden::LeftOut && entry->d_name[0] == '.')
            continue;
        if (!matches_pattern(entry->d_name, pattern))
            continue;
        // The entry's own type spares a stat of every file; links and unknown types are looked up.
        struct stat st {};
        bool regular = entry->d_type == DT_REG ||
                       ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                        ::fstatat(::dirfd(d), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode));
        if (regular)
            names.emplace_back(entry->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    listing.ok = true;
    return listing;
}

NameOnDisk PosixFiles::real_name(const std::string& name) {
    return real_name_in(folder_, name);
}

}  // namespace dorvane
