// SPDX-License-Identifier: MIT
// What the paint handler of a form draws on: the window's area below its menu bar, measured in
// twips, with the window's outer size as the window manager frames it.
#pragma once

#include <FL/Fl_Window.H>

#include "platform/fltk/scale.h"
#include "platform/form.h"

namespace dorvane::fltk {

// The widths of the window manager's frame around a window, in pixels.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Reads _NET_FRAME_EXTENTS. A window manager that does not publish it but frames the window by
// reparenting gets the frame measured from the window tree: the ancestor just below the root is
// the frame. A window with no such ancestor has no frame, and its outer size is its own.
FrameExtents frame_extents(const Fl_Window& window);

class FltkCanvas : public Canvas {
  public:
    // `area_top` is the height of the menu bar; the drawing area lies below it.
    FltkCanvas(Fl_Window& window, const Scale& scale, int area_top, FrameExtents frame);

    double outer_width() const override;
    double outer_height() const override;
    void fill_rect(float x1, float y1, float x2, float y2, Colour colour) override;
    bool shows_point(float x, float y) const override;

  private:
    Fl_Window& window_;
    const Scale& scale_;
    int area_top_;
    FrameExtents frame_;
};

}  // namespace dorvane::fltk
