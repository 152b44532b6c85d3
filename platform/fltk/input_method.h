// SPDX-License-Identifier: MIT
// The X input method, opened when a text box first takes the focus instead of at start-up.
//
// FLTK opens the input method as it opens the display. In a UTF-8 locale that reads and parses
// the whole Compose table and makes the input method's font set: about half of all the work the
// program does up to its first paint, for text boxes that only the about box has. The backend
// defines XOpenIM itself, in front of the X library's, and lets no input method open until a
// text box asks for one. Until then keys reach the program
// through plain key lookups, which is all that buttons, menus and access keys need.
//
// The first text box to take the focus opens it, through the toolkit's own path, and binds it
// to that text box's window; from then on FLTK keeps it and gives each window that gets the
// focus its input context as usual, so dead keys and compose sequences reach every text box.
// Where no input method can be opened (a locale the X libraries do not know), text boxes take
// keys through the plain lookups, as FLTK itself does then.
#pragma once

class Fl_Window;

namespace dorvane::fltk {

// Opens the display as FLTK does, without the input method.
void open_display();

// Opens the input method for `window`, whose text box has just taken the focus. Does nothing
// once it has been opened (or tried), or while `window` is not shown.
void open_input_method(Fl_Window& window);

// Whether an input context exists now, that is, typed keys go through the input method.
bool input_method_open();

// Gives the key being pressed the keysym the toolkit gives it with an input method open: that of
// the keyboard's first layout group. Without one FLTK keeps the active group's keysym for keys
// outside Latin-1 to -4, so that with layouts "us,ru" and Russian active, Ctrl+Q and the Alt
// access keys would stop working. Called for every key press before the toolkit handles it.
void key_from_first_group();

}  // namespace dorvane::fltk
