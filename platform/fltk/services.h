// SPDX-License-Identifier: MIT
// The platform on a Linux desktop: windows, menus and message boxes through FLTK on X11, files
// in the current folder and the clock of the POSIX system, and the game's programs started by
// the launch engine through the X11 driver.
//
// One instance exists per program. It mirrors every form of the program on a window of its
// own, routes the user's events to the forms' handlers, and after each event brings every
// window up to date with what the handler changed. It is the message box and window topics
// itself, and composes them with the others into the program's Services.
#pragma once

#include <FL/Fl_Window.H>

#include <functional>
#include <memory>
#include <vector>

#include "platform/events.h"
#include "platform/fltk/pictures.h"
#include "platform/fltk/scale.h"
#include "platform/posix/clock.h"
#include "platform/posix/files.h"
#include "platform/services.h"

namespace dorvane::fltk {

class FormWindow;
class Launching;

class FltkServices : public MessageBoxService, public WindowService {
  public:
    // Opens the display; ends the program with a message on stderr when there is none.
    FltkServices();
    ~FltkServices() override;

    // Runs one event's handler, then mirrors every form.
    void route(const std::function<void()>& handler);
    // The event rules of the program's windows (platform/events.h).
    EventRules& events() { return events_; }
    // Mirrors every form on its window now.
    void sync_all();
    // Takes events until the program ends.
    int run();
    // What ends the program when it is ended from outside: SIGTERM, SIGINT or SIGHUP, or the
    // connection to the X server closing. It runs as an event of its own (for the X server,
    // with no window left to show anything: a question is answered No, a message goes to
    // stderr); it must end the program.
    void end_from_outside(std::function<void()> end);
    // The X server closed the connection: ends the program through end_from_outside's function.
    [[noreturn]] void x_connection_lost();

    const Scale& scale() const { return scale_; }

    // Every topic, for the program.
    operator Services();  // NOLINT: converts on purpose

    Answer message_box(const std::string& prompt, const std::string& title,
                       Buttons buttons) override;
    std::optional<std::string> form_created(Form& form) override;
    void form_destroyed(Form& form) override;
    [[noreturn]] void end_program() override;

  private:
    static int dispatch(int event, Fl_Window* window);
    FormWindow* window_of(Fl_Window* window);
    void window_activated(FormWindow& window);
    void follow_focus();

    Scale scale_;
    PictureStore pictures_;
    PosixFiles files_;
    PosixClock clock_;
    // Forms of the program, in the order they came into being; their windows are built at the
    // first sync, once the form's constructor has filled in its controls.
    struct Entry {
        Form* form;
        FormWindow* window;
    };
    std::vector<Entry> forms_;
    EventRules events_;
    Fl_Widget* last_focus_ = nullptr;       // the focus as last reported to events_
    std::unique_ptr<Launching> launching_;  // the launch engine and its X11 driver
    std::function<void()> outside_end_;
    bool x_gone_ = false;
};

}  // namespace dorvane::fltk
