// SPDX-License-Identifier: MIT
// The platform on Windows: message boxes and the windows of the Win32 backend, files and the
// clock of the system, and the game's programs started by the launch engine through the Win32
// driver. It is the message box and window topics itself, and composes them with the others
// into the program's Services.
#pragma once

#include "platform/launch_engine.h"
#include "platform/services.h"
#include "platform/win32/backend.h"
#include "platform/win32/clock.h"
#include "platform/win32/files.h"
#include "platform/win32/launch_driver.h"

namespace dorvane::win32 {

class Win32Services : public MessageBoxService, public WindowService {
  public:
    explicit Win32Services(Backend& backend);
    ~Win32Services() override;

    // Every topic, for the program.
    operator Services();  // NOLINT: converts on purpose

    Answer message_box(const std::string& prompt, const std::string& title,
                       Buttons buttons) override;
    std::optional<std::string> form_created(Form& form) override;
    void form_destroyed(Form& form) override;
    void end_program() override;

    // The Win32 driver on the backend's message loop: a thread timer follows a launch up.
    class Launching final : public Win32LaunchDriver {
      public:
        explicit Launching(Backend& backend) : backend_(backend) {}
        ~Launching() override;
        void follow_up_soon() override;
        void run_as_event(const std::function<void()>& report) override { backend_.route(report); }
        launch::LaunchEngine engine{*this};

      private:
        static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
        Backend& backend_;
        UINT_PTR timer_ = 0;
    };

  private:
    Backend& backend_;
    Win32Files files_;
    Win32Clock clock_;
    Launching launching_;
};

}  // namespace dorvane::win32
