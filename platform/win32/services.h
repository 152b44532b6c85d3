// SPDX-License-Identifier: MIT
// The platform's services on Windows: message boxes, files, processes, clock and chance, and
// the windows of the Win32 backend.
#pragma once

#include "platform/random.h"
#include "platform/services.h"
#include "platform/win32/backend.h"
#include "platform/win32/files.h"
#include "platform/win32/processes.h"

namespace dorvane::win32 {

class Win32Services : public Services {
  public:
    explicit Win32Services(Backend& backend) : backend_(backend) {}

    Answer message_box(const std::string& prompt, const std::string& title,
                       Buttons buttons) override;
    FileRead read_file(const std::string& name, std::size_t limit) override;
    FileWrite replace_file(const std::string& name, std::string_view bytes,
                           std::optional<std::string_view> expected) override;
    FileWrite keep_copy(const std::string& name, const std::string& copy_name) override;
    FileListing list_files(const std::string& pattern, Hidden hidden) override;
    NameOnDisk real_name(const std::string& name) override;
    std::optional<TaskId> start_program(const std::string& command_line) override;
    bool activate(TaskId task) override;
    bool send_keys(const std::string& keys, std::chrono::milliseconds shown_for) override;
    void on_late_failure(std::function<void()> report) override;
    float seconds_since_midnight() override;
    void sleep(double seconds) override;
    float random() override;
    void form_created(Form& form) override;
    void form_destroyed(Form& form) override;
    void end_program() override;

  private:
    static void CALLBACK follow_up(HWND, UINT, UINT_PTR, DWORD);

    Backend& backend_;
    UINT_PTR follow_up_timer_ = 0;
    bool made_a_window_ = false;
    std::function<void()> late_failure_;
    Win32Files files_;
    Processes processes_;
    RandomSource random_;
};

}  // namespace dorvane::win32
