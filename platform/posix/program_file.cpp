// SPDX-License-Identifier: MIT
#include "platform/posix/program_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "platform/ascii.h"
#include "platform/posix/real_name.h"

namespace dorvane::posix {

namespace {

bool is_regular(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string read_at(int fd, off_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    ssize_t n = pread(fd, bytes.data(), size, offset);
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

// Characters that dosbox's shell takes as redirection, pipes or quoting, and line ends.
bool safe_for_dos_shell(const std::string& text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        return c == '<' || c == '>' || c == '|' || c == '"' || static_cast<unsigned char>(c) < 0x20;
    });
}

}  // namespace

std::optional<std::string> find_in_folder(const std::string& folder, const std::string& name) {
    // A folder that cannot be searched holds no program that could be started either.
    NameOnDisk on_disk = real_name_in(folder, name);
    if (on_disk.status != NameOnDisk::Status::Found)
        return std::nullopt;
    return on_disk.name;
}

ProgramKind classify(std::string_view head, std::string_view new_header) {
    if (head.substr(0, 2) != "MZ")
        return ProgramKind::Native;
    if (new_header.substr(0, 4) == std::string_view("PE\0\0", 4) || new_header.substr(0, 2) == "NE")
        return ProgramKind::Windows;
    return ProgramKind::Dos;
}

ProgramKind classify_file(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ProgramKind::Native;  // unreadable: let the start itself say whether it runs
    std::string head = read_at(fd, 0, 64);
    std::string new_header;
    if (head.size() == 64 && head.substr(0, 2) == "MZ") {
        auto byte = [&](int i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(head[i]));
        };
        std::uint32_t offset = byte(0x3C) | byte(0x3D) << 8 | byte(0x3E) << 16 | byte(0x3F) << 24;
        if (offset >= 64)
            new_header = read_at(fd, static_cast<off_t>(offset), 4);
    }
    close(fd);
    return classify(head, new_header);
}

std::optional<std::string> find_on_path(const std::string& name, const char* search_path) {
    if (!search_path)
        return std::nullopt;
    std::string_view rest = search_path;
    while (true) {
        std::size_t colon = rest.find(':');
        std::string_view dir = rest.substr(0, colon);
        // An empty entry would mean the current folder: the game's folder is not a place to
        // take a helper program from.
        if (!dir.empty()) {
            std::string candidate = std::string(dir) + "/" + name;
            if (is_regular(candidate) && access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        if (colon == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

std::string dosbox_running_title(const std::string& file_name) {
    std::size_t dot = file_name.rfind('.');
    std::string stem = file_name.substr(0, dot);
    std::string extension = dot == std::string::npos ? "" : file_name.substr(dot + 1);
    if (stem.empty() || stem.size() > 8 || extension.size() > 3 ||
        stem.find_first_of(" .") != std::string::npos)
        return "";
    return ascii_upper(std::move(stem));
}

bool names_running_program(const std::string& title, const std::string& name) {
    std::size_t at = title.find("Program:");
    if (at == std::string::npos)
        return false;
    at = title.find_first_not_of(' ', at + 8);
    return at != std::string::npos && title.compare(at, std::string::npos, name) == 0;
}

std::optional<ExecPlan> plan_exec(const std::string& folder, const std::string& file_name,
                                  ProgramKind kind, const std::vector<std::string>& args,
                                  const std::optional<std::string>& helper, DosScreen screen) {
    if (args.empty())
        return std::nullopt;
    const std::string path = folder + "/" + file_name;
    if (kind == ProgramKind::Native) {
        ExecPlan plan{path, args};
        return plan;
    }
    if (!helper)
        return std::nullopt;
    if (kind == ProgramKind::Windows) {
        ExecPlan plan{*helper, {*helper, path}};
        plan.argv.insert(plan.argv.end(), args.begin() + 1, args.end());
        return plan;
    }
    std::string dos_line = file_name;
    for (auto arg = args.begin() + 1; arg != args.end(); ++arg)
        dos_line += " " + *arg;
    if (!safe_for_dos_shell(dos_line) || !safe_for_dos_shell(folder))
        return std::nullopt;
    ExecPlan plan{*helper, {*helper}};
    if (screen == DosScreen::FullScreen)
        plan.argv.push_back("-fullscreen");
    const std::vector<std::string> session = {"-noautoexec", "-c", "mount c \"" + folder + "\"",
                                              "-c",          "c:", "-c",
                                              dos_line,      "-c", "exit"};
    plan.argv.insert(plan.argv.end(), session.begin(), session.end());
    return plan;
}

}  // namespace dorvane::posix
