// SPDX-License-Identifier: MIT
// How the user's events reach the program, the same on every backend.
//
// A backend reports what the window system tells it, in raw terms (this window was shown, has
// become the active one, was left with the focus in that control, its close control was used,
// the user changed the text of that box), and mirrors what the rules here decide. The rules:
//
// - Events. Each of the user's events runs through route(): the handler runs, then, once the
//   outermost event is over (a message box inside a handler takes events of its own), every
//   window a handler retired is dropped and released, and last every window is mirrored.
// - Activation. `Form_Activate` runs when a form's window becomes the program's active window
//   the first time after it was shown, and when the user comes to it from another form of the
//   program. Coming back from another program or from one of the program's message boxes (they
//   are no forms, and the backend does not report them) raises nothing: the form that was the
//   program's active window last is still the one.
// - Input. While a form with `modeless == false` is shown, only it takes input; the last one
//   shown if there are several. The backend keeps the other windows from taking any.
// - Focus. A window that shows gives the focus to the first control in focus order that can
//   take it: a visible command button, text box, picture box or list, or the chosen button of an
//   option group. A window the user comes back to gives it back to the control that had it.
// - Frame close. The window frame's close control runs `frame_closed`, for a window that takes
//   input. (Toolkits that close a window on other keys filter those themselves.)
// - Typed text. What the user types into a text box becomes its `caption`; the backend keeps the
//   widget as the user left it rather than writing the same text back under the cursor.
// - Keys. The backend reports the keys of the window that holds the keyboard before any control
//   sees them, and the rules decide. Alt with a letter or digit presses the visible command
//   button whose caption marks that access key (the letter after '&'), else opens the menu-bar
//   title that marks it, else does nothing. Only command buttons and menus mark access keys:
//   every other caption, a map name above all, is shown as it is and is never an access key.
//   Ctrl with a letter runs the menu item of that shortcut. Enter presses the command button
//   with the focus. Escape presses nothing and closes no window; a drop-down list with the focus
//   still takes it, to close its list.
// - Ending from outside. The session ending, a signal or the window system going ends the
//   program as closing its main window does, also while a message box is open: the backend
//   reports it and the rules run the program's own end as an event of its own.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/form.h"

namespace dorvane {

// A key as the user pressed it: a letter or digit in lower case, or Enter or Escape, and which of
// Alt and Ctrl were held. No other key is the rules' business.
struct Key {
    static constexpr char kEnter = '\r', kEscape = '\x1b';
    char code = 0;
    bool alt = false;
    bool ctrl = false;
};

// What the rules made of a key.
struct KeyOutcome {
    enum class Use {
        Passed,    // not theirs: the control with the focus takes it as it would
        Taken,     // done (a button pressed, a menu command run), or dropped
        OpenMenu,  // the backend opens the title `menu` of the form's menu bar
    };
    Use use = Use::Passed;
    int menu = -1;
};

class EventRules {
  public:
    // `drop` takes a retired window's widgets off the screen (the backend's form_destroyed);
    // `mirror` brings every window up to date with its form.
    EventRules(std::function<void(Form&)> drop, std::function<void()> mirror);

    // The program's windows, in the order they came into being.
    void created(Form& form);
    void destroyed(Form& form);
    const std::vector<Form*>& forms() const { return forms_; }

    void route(const std::function<void()>& handler);
    // Whether an event is running now (a handler, or a message box inside one).
    bool in_event() const { return depth_ > 0; }

    // --- What the backend reports.
    // The form's window has just been shown (it was hidden or never on the screen).
    void shown(Form& form);
    // The form's window has become the program's active window. Raises `Form_Activate` where the
    // rule says so, and returns the control that is to take the focus (nullptr: none can).
    Control* activated(Form& form);
    // The control has the keyboard focus in the form's window (nullptr: none of the form's). The
    // backend reports it at the latest when the window stops being the active one.
    void focused(Form& form, Control* control);
    // The user pressed the close control of the form's window frame.
    void frame_close(Form& form);
    // The user changed the text of a text box to `text`.
    void typed(Control& box, const std::string& text);
    // The user pressed a key in the form's window, with `focus` (nullptr: none) holding the focus.
    KeyOutcome key(Form& form, Control* focus, Key key);
    // The program is ended from outside; runs the function end_from_outside() set, once.
    void ended_from_outside();
    // What ends the program from outside; it must end the program.
    void end_from_outside(std::function<void()> end) { outside_end_ = std::move(end); }

    // --- What the backend mirrors.
    // Whether the form's window takes the user's input now.
    bool takes_input(const Form& form) const;
    // The form that was the program's active window last; nullptr before any.
    Form* active() const { return active_; }
    // The control that takes the focus when the form's window shows.
    static Control* first_focus(const Form& form);
    // Whether the control can take the keyboard focus just now.
    static bool can_take_focus(const Control& control);
    // Whether the control's caption marks an access key with '&' (else it is shown as it is).
    static bool marks_access_key(const Control& control) {
        return control.kind == ControlKind::CommandButton;
    }

  private:
    struct FormState {
        bool fresh = true;           // shown, not yet activated since
        Control* focus = nullptr;    // had the focus last
        unsigned long shown_at = 0;  // when it was shown last, to rank windows holding input
    };
    void retire();
    bool known(const Form* form) const;

    std::function<void(Form&)> drop_;
    std::function<void()> mirror_;
    std::function<void()> outside_end_;
    std::vector<Form*> forms_;
    std::map<const Form*, FormState> windows_;
    Form* active_ = nullptr;
    unsigned long showings_ = 0;
    int depth_ = 0;
};

}  // namespace dorvane
