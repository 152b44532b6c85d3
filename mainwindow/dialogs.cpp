// SPDX-License-Identifier: MIT
// The openers of the main window's other windows: the map file picker, the colour settings
// dialog and the about box. Each is made on first use and kept while its own buttons hide it;
// a close through its frame retires it, and once that event is over the backend drops its
// widgets and runs the `release` set here, which frees it. The next opening makes a fresh one.
#include <memory>
#include <string>

#include "about/aboutqim.h"
#include "colours/skrewform.h"
#include "mainwindow/addmaps.h"
#include "mainwindow/dorvane.h"

namespace dorvane {

namespace {

// The window held in `held`, made with `make` and handed to the backend when there is none, or
// when the one held was retired by an event not yet over: that one then frees itself once the
// event is done, and the fresh one takes its place. nullptr when the system would not make its
// window (the user has been told): the next opening tries again.
template <class Dialog, class Make>
Dialog* live_dialog(std::unique_ptr<Dialog>& held, Dorvane& main, Make make) {
    if (held && held->retired) {
        Dialog* old = held.release();
        old->release = [old] { delete old; };
    }
    if (!held) {
        held = make();
        Dialog* made = held.get();
        made->release = [&held, made] {
            if (held.get() == made)
                held.reset();
        };
        if (!main.open_window(*made, "")) {
            held.reset();
            return nullptr;
        }
    }
    return held.get();
}

}  // namespace

void Dorvane::Addmap_Click() {
    Addmaps* picker = live_dialog(addmaps, *this, [this] {
        return std::make_unique<Addmaps>(state, services.windows, services.files, services.boxes,
                                         [this](int slot, const std::string& name) {
                                             Option1.at(slot).caption = name;
                                             savemaps();
                                         });
    });
    // An open picker is left exactly as it is.
    if (!picker || picker->visible)
        return;
    picker->refresh_list();
    picker->visible = true;
}

void Dorvane::cc_Click() {
    skrewform* dialog = live_dialog(colour_dialog, *this, [this] {
        auto made = std::make_unique<skrewform>(state, services.windows, services.clock);
        made->Form_Load();
        return made;
    });
    if (dialog)
        dialog->visible = true;
}

void Dorvane::About_Click() {
    Aboutqim* box = live_dialog(about_box, *this, [this] {
        return std::make_unique<Aboutqim>(services.windows, services.boxes);
    });
    if (box)
        box->visible = true;
}

}  // namespace dorvane
