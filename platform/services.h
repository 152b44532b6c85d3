// The one interface through which the program reaches its platform.
//
// Handlers call these services; a backend provides them. Every operation either does what it
// says or reports that it could not: there are no silent defaults, so that the caller can do
// what the program requires for that failure. File names are bare names in the current folder.
#pragma once

#include <cstddef>
#include <cstdint>
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
    // Replaces the file's whole content in one atomic step: the content is written beside it and
    // flushed to disk first, so that an interruption leaves either the old or the new file. An
    // existing file keeps its permissions.
    virtual FileWrite replace_file(const std::string& name, std::string_view bytes) = 0;
    // Keeps a copy of file `name` under `copy_name`; fails, changing nothing, when a file of that
    // name exists already.
    virtual FileWrite keep_copy(const std::string& name, const std::string& copy_name) = 0;
    // Names of the regular files matching `pattern` ("*.map"; letter case is ignored), sorted.
    virtual std::vector<std::string> list_files(const std::string& pattern, Hidden hidden) = 0;

    // --- Processes.
    // Starts a program from a command line, maximised and with the focus; returns at once.
    // nullopt: it could not be found or started.
    virtual std::optional<TaskId> start_program(const std::string& command_line) = 0;
    // Brings the task's main window to the front with the keyboard focus; false if it has none.
    virtual bool activate(TaskId task) = 0;
    // Types the keys into the window that has the focus and returns once they were processed.
    virtual bool send_keys(const std::string& keys) = 0;

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
