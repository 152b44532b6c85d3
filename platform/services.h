// SPDX-License-Identifier: MIT
// The one interface through which the program reaches its platform.
//
// Handlers call these services; a backend provides them. Every operation either does what it
// says or reports that it could not: there are no silent defaults, so that the caller can do
// what the program requires for that failure. File names are bare names in the current folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form.h"

namespace dorvane {

enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

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

using TaskId = std::int64_t;

// Whether a file listing takes the files the system marks hidden (a leading dot on POSIX systems,
// the hidden attribute on Windows), which the system's own file lists leave out.
enum class Hidden { LeftOut, Listed };

class Services {
  public:
    virtual ~Services() = default;

    // --- Message boxes: modal, with the given title, no icon. Return presses the first button.
    virtual Answer message_box(const std::string& prompt, const std::string& title,
                               Buttons buttons) = 0;

    // --- Files in the current folder.
    // Reads the whole file, up to `limit` bytes.
    virtual FileRead read_file(const std::string& name, std::size_t limit) = 0;
    // Replaces the file's whole content, flushed to disk, in one atomic step where the system
    // allows it: an interruption leaves either the old or the new file. An existing file keeps
    // its identity (links, owner, permissions). With `expected`, the file is replaced only while
    // it still holds exactly those bytes; otherwise nothing changes and `changed` is set. Two
    // programs replacing the same file take turns.
    virtual FileWrite replace_file(const std::string& name, std::string_view bytes,
                                   std::optional<std::string_view> expected) = 0;
    // Keeps a copy of file `name` under `copy_name`; fails, changing nothing, when a file of that
    // name exists already.
    virtual FileWrite keep_copy(const std::string& name, const std::string& copy_name) = 0;
    // Names of the regular files matching `pattern` ("*.map"; letter case is ignored), sorted.
    virtual std::vector<std::string> list_files(const std::string& pattern, Hidden hidden) = 0;
    // The name on disk of the regular file `name`, which may differ from it in letter case: the
    // exact name when that file exists, found without reading the folder; otherwise the first
    // in byte order of those differing only in letter case. nullopt: there is none.
    virtual std::optional<std::string> real_name(const std::string& name) = 0;

    // --- Processes: what each promises, how long it may hold and what counts as failure is the
    // launch contract, platform/launch.h.
    // Starts a program from a command line, maximised and with the focus; returns at once.
    // nullopt: it could not be found or started.
    virtual std::optional<TaskId> start_program(const std::string& command_line) = 0;
    // Brings the task's main window to the front with the keyboard focus (bounded wait).
    virtual bool activate(TaskId task) = 0;
    // Types the keys into the started program's window once it has the focus, and returns once
    // they were processed.
    virtual bool send_keys(const std::string& keys) = 0;
    // `report` runs, on the user-interface thread between events, when a program whose
    // activation returned before its window showed then ends with an error without showing one.
    // It replaces the report given before.
    virtual void on_late_failure(std::function<void()> report) = 0;

    // --- Clock and chance.
    virtual float seconds_since_midnight() = 0;
    // Waits without handling any window event.
    virtual void sleep(double seconds) = 0;
    // The program's one random source: uniform in [0, 1), the same sequence in every run.
    virtual float random() = 0;

    // --- Windows.
    // A window of the program came into being or is gone; the backend builds or drops its widgets.
    virtual void form_created(Form& form) = 0;
    virtual void form_destroyed(Form& form) = 0;
    // Ends the program at once: every window closes without running any handler of its own.
    virtual void end_program() = 0;
};

}  // namespace dorvane
