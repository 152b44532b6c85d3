#include "platform/posix/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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
    if (slash == std::string::npos) {
        dir = ".";
        base = path;
    } else {
        dir = slash == 0 ? "/" : path.substr(0, slash);
        base = path.substr(slash + 1);
    }
}

}  // namespace

PosixFiles::PosixFiles(std::string folder) : folder_(std::move(folder)) {}

std::string PosixFiles::path(const std::string& name) const {
    return folder_ + "/" + name;
}

std::string PosixFiles::temp_prefix(const std::string& name) {
    return "." + name + ".tmp-";
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
    char buffer[16384];
    while (result.bytes.size() <= limit) {
        ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.error = system_error();
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    if (result.bytes.size() > limit) {
        result.bytes.resize(limit);
        result.truncated = true;
    }
    result.status = FileRead::Status::Ok;
    return result;
}

// Temporary files carry the id of the process writing them; one whose process is gone was left
// by a crash and is removed. Ours are removed too: this process writes one file at a time, so
// any of its own that still exists is from an earlier process that had the same id.
void PosixFiles::remove_stale_temps(const std::string& dir, const std::string& base) {
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    const std::string prefix = temp_prefix(base);
    while (dirent* entry = ::readdir(d)) {
        std::string_view name = entry->d_name;
        if (name.substr(0, prefix.size()) != prefix)
            continue;
        long pid = std::strtol(entry->d_name + prefix.size(), nullptr, 10);
        bool gone =
            pid <= 0 || pid > INT_MAX ||
            (pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        if (gone || pid == ::getpid())
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

FileWrite PosixFiles::replace_file(const std::string& name, std::string_view bytes) {
    std::string target = path(name);
    // Through a symbolic link, replace the file it names and keep the link.
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(target.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    std::string dir, base;
    split_path(target, dir, base);
    remove_stale_temps(dir, base);

    bool existed = ::stat(target.c_str(), &st) == 0;
    // A file its owner made read-only is not replaced behind their back, though the folder
    // would allow the rename.
    if (existed && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return {false, system_error()};
    static unsigned counter = 0;
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = dir + "/" + temp_prefix(base) + std::to_string(::getpid()) + "-" +
               std::to_string(counter++);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            break;
    }
    if (raw < 0)
        return {false, system_error()};
    Fd fd(raw);
    auto fail = [&] { return failed_removing(temp); };
    if (existed) {
        if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
            return fail();
        // Only the owner or root may give a file away; a failure leaves us as the owner.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)!::fchown(fd.get(), st.st_uid, st.st_gid);
    }
    if (!write_all(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.close())
        return fail();
    if (::rename(temp.c_str(), target.c_str()) != 0)
        return fail();
    sync_folder(dir);
    return {true, {}};
}

FileWrite PosixFiles::keep_copy(const std::string& name, const std::string& copy_name) {
    const std::string source = path(name);
    const std::string copy = path(copy_name);
    std::string dir, base;
    split_path(copy, dir, base);
    // A hard link costs no space and is immune to later replacements, which make a new file.
    if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, copy.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        sync_folder(dir);
        return {true, {}};
    }
    if (errno == EEXIST || errno == ENOENT || errno == ENOTDIR || errno == EACCES ||
        errno == EROFS || errno == ENOSPC || errno == EDQUOT)
        return {false, system_error()};

    // The file system has no hard links for us: copy the bytes into a new file.
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
    auto fail = [&] {
        FileWrite failed{false, system_error()};
        ::unlink(copy.c_str());
        return failed;
    };
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

std::vector<std::string> PosixFiles::list_files(const std::string& pattern, Hidden hidden) {
    std::vector<std::string> names;
    DIR* d = ::opendir(folder_.c_str());
    if (!d)
        return names;
    while (dirent* entry = ::readdir(d)) {
        if (hidden == Hidden::LeftOut && entry->d_name[0] == '.')
            continue;
        if (!matches_pattern(entry->d_name, pattern))
            continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names.emplace_back(entry->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace dorvane
