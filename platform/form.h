// SPDX-License-Identifier: MIT
// Windows and controls as plain data.
//
// A Form is one window of the program: its caption, its client size and its controls, each
// with caption, place, visibility and colours. Handlers of the program change these fields; a
// backend mirrors them on real widgets after every event it routes, and routes the user's
// clicks, picks and frame closes back through the functions at the end of this file, so that a
// choice made by the user and one made from code run the same handler.
//
// Every length here is in twips (1/1440 inch; 15 twips make one pixel at 96 dpi).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dorvane {

// A colour as the program composes it: red + 256 * green + 65536 * blue.
using Colour = std::uint32_t;

constexpr int colour_red(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int colour_green(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int colour_blue(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind {
    CommandButton,  // back colour shows only when `graphical` is set
    OptionButton,   // one radio group per parent (form or frame)
    Label,          // opaque unless `transparent`
    Frame,          // a captioned container; children name it as `parent`
    TextBox,
    PictureBox,  // shows `picture`; a click raises `click`
    List,        // pick-only drop-down list of `items`
    FileList,    // list of `items` (file names); double-click raises `dbl_click`
    Line,        // segment from (x1, y1) to (x2, y2) within its parent
};

// Pictures the program carries; the backend knows their bytes.
enum class Picture { None, Icon, Frame1, Frame2, Frame3, Frame4 };

// The size of a font that names none: the windows' default, as the layouts were drawn for.
inline constexpr double kDefaultPoints = 8.25;

struct Font {
    std::string face;   // empty: the toolkit's default face
    double points = 0;  // 0: kDefaultPoints
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct Control {
    std::string name;  // "Addmap", "Option1(5)"
    ControlKind kind = ControlKind::Label;
    std::string caption;  // buttons mark their access key with '&'
    Rect place;
    int focus_place = -1;  // position in the focus order; -1 takes no focus
    bool visible = true;
    bool graphical = false;      // command button whose face shows `back`
    std::optional<Colour> back;  // nullopt: the toolkit's default
    std::optional<Colour> fore;  // caption or text colour; nullopt: default
    Font font;
    const Control* parent = nullptr;     // a Frame, or nullptr for the form itself
    bool value = false;                  // option button: chosen
    std::vector<std::string> items;      // List and FileList
    int list_index = -1;                 // selected item, -1 for none
    Picture picture = Picture::None;     // PictureBox
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Line

    std::function<void()> click;      // button press, option chosen, list pick, picture click
    std::function<void()> dbl_click;  // FileList double-click

    // Access key: the letter after the first single '&' of the caption, lower-cased; 0 if none.
    char access_key() const;

    // The selection of a List or FileList, read safely: `list_index` when it names one of
    // `items`, -1 otherwise (nothing selected, or an index the items no longer reach).
    int selected_index() const;
    // The item at selected_index(); empty when there is none.
    std::string selected_item() const;
};

// The letter after the first single '&' of a caption, lower-cased; 0 if none ("&&" shows '&').
char access_key(const std::string& caption);

struct MenuItem {
    std::string name;     // "Exit", "RIB"
    std::string caption;  // may mark an access key with '&'
    char ctrl_key = 0;    // 'q' for Ctrl+Q, 0 for none
    std::function<void()> click;
};

struct MenuEntry {
    std::string name;  // "File"
    std::string caption;
    std::vector<MenuItem> items;  // empty: choosing the entry itself runs `click`
    std::function<void()> click;
};

// What a paint handler draws on and asks about.
class Canvas {
  public:
    virtual ~Canvas() = default;
    // The window's outer size, title bar and borders included, in twips.
    virtual double outer_width() const = 0;
    virtual double outer_height() const = 0;
    // Fills the rectangle from (x1, y1) to (x2, y2) of the drawing area.
    virtual void fill_rect(float x1, float y1, float x2, float y2, Colour colour) = 0;
    // Whether the point of the drawing area is within it and shown on the screen just now, so
    // that the colour there could be read back.
    virtual bool shows_point(float x, float y) const = 0;
};

class Form {
  public:
    explicit Form(std::string name) : name(std::move(name)) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    std::string name;
    std::string caption;
    int client_width = 0;  // twips
    int client_height = 0;
    bool visible = false;
    std::optional<Colour> back;
    Picture icon = Picture::None;
    bool modeless = true;

    // The controls, in the order the backend creates them (which is the focus order for those
    // that take focus). Owned by the derived form.
    std::vector<Control*> controls;
    std::vector<MenuEntry> menu;

    // Events the backend raises.
    virtual void Form_Paint(Canvas&) {}
    virtual void Form_Activate() {}
    // The user closed the window with its frame's close control.
    virtual void frame_closed() {}

    // Set by a handler whose event ends this window. Once the outermost event is over, the backend
    // drops the window's widgets and then runs `release`, which whoever made the form set to free
    // it; until then the form and its controls stay valid for the handlers still running.
    bool retired = false;
    std::function<void()> release;
};

// Chooses an option button exactly as a user's click does: it becomes the chosen one of its
// group, the others of the same parent are un-chosen, and its click handler runs.
void choose_option(Form& form, Control& option);

// Selects item `index` of a List exactly as a user's pick does: the selection changes and the
// list's click handler runs.
void select_item(Control& list, int index);

// Runs the control's click handler, if it has one.
void press(Control& control);

}  // namespace dorvane
