// SPDX-License-Identifier: MIT
#include "platform/fltk/input_method.h"

#include <dlfcn.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <FL/x.H>  // last: its X11 macros clash with the program's names
#include <X11/XKBlib.h>

// FLTK's input context (a global of the toolkit, not in its headers).
extern XIC fl_xim_ic;

namespace {

bool g_allowed = false;

void quiet(const char*, ...) {}

}  // namespace

// Every XOpenIM of the toolkit comes here: none opens before a text box asks for it. The
// program defines the function itself, so that the toolkit's calls reach this one whether FLTK
// is linked into the program or is a shared library (the linker exports a definition that a
// shared library of the link refers to); the next definition, the X library's, opens it.
extern "C" XIM XOpenIM(Display* display, struct _XrmHashBucketRec* db, char* res_name,
                       char* res_class) {
    if (!g_allowed)
        return nullptr;
    using Open = XIM (*)(Display*, struct _XrmHashBucketRec*, char*, char*);
    static const Open real = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "XOpenIM"));
    return real ? real(display, db, res_name, res_class) : nullptr;
}

namespace dorvane::fltk {

void open_display() {
    // The toolkit warns when its input method does not open, which here is on purpose.
    auto warning = Fl::warning;
    Fl::warning = quiet;
    fl_open_display();
    Fl::warning = warning;
}

void open_input_method(Fl_Window& window) {
    if (g_allowed || !window.shown())
        return;
    g_allowed = true;
    // FLTK opens its input method again only when the pointer enters one of its windows while
    // none is open. Hand it such a crossing into `window`, at the pointer's last known place,
    // and keep the FL_ENTER it makes of it from reaching any widget.
    XEvent event{};
    XCrossingEvent& crossing = event.xcrossing;
    crossing.type = EnterNotify;
    crossing.display = fl_display;
    crossing.window = fl_xid(&window);
    crossing.root = RootWindow(fl_display, fl_screen);
    crossing.time = fl_event_time;
    crossing.x = Fl::event_x();
    crossing.y = Fl::event_y();
    crossing.x_root = Fl::event_x_root();
    crossing.y_root = Fl::event_y_root();
    crossing.mode = NotifyNormal;
    crossing.detail = NotifyNonlinear;
    crossing.same_screen = True;
    crossing.focus = True;
    crossing.state = static_cast<unsigned>(Fl::event_state()) >> 16;  // as FLTK keeps it
    Fl_Event_Dispatch dispatch = Fl::event_dispatch();
    Fl::event_dispatch([](int, Fl_Window*) { return 0; });
    fl_handle(event);
    Fl::event_dispatch(dispatch);
    // The window has the X focus already, so no FocusIn will bind the new context to it.
    if (fl_xim_ic) {
        Fl::first_window(&window);
        Fl::enable_im();
    }
}

bool input_method_open() {
    return fl_xim_ic != nullptr;
}

void key_from_first_group() {
    if (fl_xim_ic || !fl_xevent || fl_xevent->type != KeyPress)
        return;
    // Latin letters and function keys come as the toolkit always gives them.
    int key = Fl::e_keysym;
    if (key < 0x400 || (key >= 0xfd00 && key <= 0xffff))
        return;
    KeySym first =
        XkbKeycodeToKeysym(fl_display, static_cast<KeyCode>(fl_xevent->xkey.keycode), 0, 0);
    if (first != NoSymbol)
        Fl::e_keysym = static_cast<int>(first);
}

}  // namespace dorvane::fltk
