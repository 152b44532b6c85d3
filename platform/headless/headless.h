// SPDX-License-Identifier: MIT
// The headless backend: the platform without a screen, for tests. It records everything the
// program shows or starts, answers questions as the test scripts them, runs a clock that moves
// only when the program waits, and works on real files in a folder of the test's choosing. Its
// launches run through the real launch engine, on a driver whose programs behave as the test
// scripts them, in the clock's time.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/launch_engine.h"
#include "platform/random.h"
#include "platform/services.h"

// The headless backend works on real files with the file services of the system it runs on.
#ifdef _WIN32
#include "platform/win32/files.h"
namespace dorvane {
using NativeFiles = Win32Files;
}
#else
#include "platform/posix/files.h"
namespace dorvane {
using NativeFiles = PosixFiles;
}
#endif

namespace dorvane {

struct ShownMessage {
    std::string prompt;
    std::string title;
    Buttons buttons;
};

// Thrown by a Yes/No question the test did not script an answer for; the test framework reports
// it as the failure of the test that asked.
class UnscriptedQuestion : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class HeadlessServices : public MessageBoxService,
                         public FileService,
                         public ClockService,
                         public WindowService {
  public:
    explicit HeadlessServices(std::string folder);

    // Every topic, for the program; the processes are the launch engine's.
    operator Services();  // NOLINT: converts on purpose

    // --- What the test scripts.
    // Answers to the next Yes/No questions, in order. A question with none left fails the test
    // (UnscriptedQuestion); OK boxes take no answer.
    std::deque<Answer> answers;
    std::optional<std::string> fail_writes;  // replace_file fails with this reason
    // The folder cannot be read: list_files and real_name fail with this reason.
    std::optional<std::string> fail_lists;
    std::set<std::string> missing_programs;  // first words of command lines that fail to start
    // How a started program behaves, by the first word of its command line, in the terms of the
    // launch contract (platform/launch.h); not listed: it shows its window at once.
    enum class Program {
        Window,             // shows its window at once
        SlowWindow,         // shows it 1.5 s after its start: after the activation's hold
        NoWindow,           // runs without ever showing one
        FailsAtOnce,        // ends with an error 0.1 s after its start, without a window
        FailsLater,         // ends with an error 1.5 s after its start, without a window
        EndsWithoutWindow,  // ends successfully 0.1 s after its start, without a window
    };
    std::map<std::string, Program> programs;
    bool fail_keys = false;            // no key of the keyboard types the keys
    int raises_dropped = 0;            // the window manager drops the next so many raises
    double modifiers_held_until = -1;  // the user holds a modifier key until then (clock)
    double clock = 0;                  // seconds since midnight; moves only when the program waits
    std::deque<float> random_values;   // next random numbers; empty: the program's own source
    std::optional<std::vector<std::string>> file_list;  // overrides the folder's file list

    // --- What the program did.
    std::vector<ShownMessage> messages;
    // One line per process step, in order: "start <command line>" (or "start-failed"),
    // "keys <keys>" (or "keys-failed"), each followed by " @<clock>".
    std::vector<std::string> log;
    std::vector<std::string> started;             // command lines started
    int writes = 0;                               // successful replace_file calls
    int ended = 0;                                // end_program calls
    std::vector<Form*> forms;                     // windows that exist now
    double slept = 0;                             // total time spent in sleep()
    std::map<TaskId, std::string> keys_received;  // what each program's window got
    std::string stray_keys;                       // keys typed while no program's window had focus
    std::map<TaskId, double> shown_at;            // when each program's window showed
    std::optional<TaskId> in_front;               // the program whose window is in front
    int late_reports = 0;                         // late failures reported

    // The event loop between the user's events for `seconds` of the clock, or until no launch
    // is followed up any more.
    void run_events(double seconds = 60);
    // Runs one event of the program as a real backend does: the handler, then the retiring of
    // every window a handler ended, then the mirror. A window that has just been shown becomes
    // the active one as a window manager makes it, and one that was hidden hands that on to the
    // program's window that was active before it.
    void route(const std::function<void()>& handler);

    // --- The user, as the window manager, the mouse and the keyboard deliver what they do.
    // The program's window that holds the keyboard; nullptr while another program or one of the
    // program's message boxes does.
    Form* active_window() const { return active_window_; }
    // The control with the keyboard focus in the active window; nullptr for none.
    Control* focus() const { return active_window_ ? focus_ : nullptr; }
    // The user brings another window of the program to the front; false if it is not on the
    // screen or takes no input just now.
    bool switch_to(Form& form);
    // The user switches to another program, and back to the window of this one they left.
    void switch_away();
    bool come_back();
    // A click on a control: its window comes to the front, the control takes the focus if it can,
    // and a button, option or picture runs its click; false if the window takes no input.
    bool click(Form& form, Control& control);
    // Keys typed into the control with the focus: into a text box at its cursor, which a click
    // puts at the end of the text. False if the focus is in no text box.
    bool type(const std::string& text);
    // The left arrow key: a text box's cursor moves back by one.
    bool left_arrow();
    // The user closes the form's window through its frame.
    void close_frame(Form& form);
    // A key pressed in the active window, as the event rules take it; false when they passed it on.
    bool key(Key key);

    Form* find_form(const std::string& name) const;

    // Services.
    Answer message_box(const std::string& prompt, const std::string& title,
                       Buttons buttons) override;
    FileRead read_file(const std::string& name, std::size_t limit) override;
    FileWrite replace_file(const std::string& name, std::string_view bytes,
                           std::optional<std::string_view> expected) override;
    FileWrite keep_copy(const std::string& name, const std::string& copy_name) override;
    FileListing list_files(const std::string& pattern, Hidden hidden) override;
    NameOnDisk real_name(const std::string& name) override;
    float seconds_since_midnight() override;
    void sleep(double seconds) override;
    float random() override;
    std::optional<std::string> form_created(Form& form) override;
    void form_destroyed(Form& form) override;
    void end_program() override;

    launch::LaunchEngine& processes() { return engine_; }

  private:
    // The programs as the test scripts them, on the headless clock.
    class ScriptedPrograms final : public launch::LaunchDriver {
      public:
        explicit ScriptedPrograms(HeadlessServices& services) : s_(services) {}
        std::optional<TaskId> start_program(const std::string& command_line) override;
        launch::TaskState state(TaskId task) override;
        void forget(TaskId task) override;
        std::optional<launch::WindowId> find_window(TaskId task) override;
        void maximise(launch::WindowId) override {}
        void raise(launch::WindowId window) override;
        bool holds_focus(launch::WindowId window) override;
        bool takes_keys(TaskId, launch::WindowId) override { return true; }
        bool modifiers_held() override;
        bool type_keys(launch::WindowId window, const std::string& keys) override;
        Clock::time_point now() override;
        void sleep(std::chrono::milliseconds time) override;
        void follow_up_soon() override { following = true; }
        void run_as_event(const std::function<void()>& report) override;
        void launch_over(TaskId, bool) override {}

        bool following = false;

      private:
        struct Task {
            Program program;
            double started;
        };
        HeadlessServices& s_;
        std::map<TaskId, Task> tasks_;
        TaskId next_task_ = 1000;
    };

    void mirror();
    void manage_windows();
    void make_active(Form* form);
    bool on_screen(const Form* form) const;

    NativeFiles files_;
    EventRules events_;
    std::set<const Form*> shown_;    // windows on the screen, as last mirrored
    std::vector<Form*> recent_;      // windows on the screen, the one active last first
    Form* active_window_ = nullptr;  // nullptr: another program or a message box
    Form* left_for_away_ = nullptr;  // the window the user left for another program
    Control* focus_ = nullptr;
    std::map<const Control*, std::size_t> cursors_;  // where each text box's cursor is
    Form* newly_shown_ = nullptr;
    bool lost_active_ = false;  // the active window went off the screen
    RandomSource random_;
    ScriptedPrograms programs_{*this};
    launch::LaunchEngine engine_{programs_};
};

}  // namespace dorvane
