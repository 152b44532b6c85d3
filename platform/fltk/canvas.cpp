// SPDX-License-Identifier: MIT
#include "platform/fltk/canvas.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/x11/properties.h"

namespace dorvane::fltk {

namespace {

bool read_net_frame_extents(Window xid, FrameExtents& out) {
    std::vector<unsigned long> v =
        x11::cardinals(fl_display, xid, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
    if (v.size() != 4)
        return false;
    out = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
           static_cast<int>(v[3])};
    return true;
}

FrameExtents measure_from_tree(Window xid) {
    Window frame = x11::top_level_ancestor(fl_display, xid);
    if (frame == xid)
        return {};
    Window root = 0, child = 0;
    int fx = 0, fy = 0, wx = 0, wy = 0;
    unsigned int fw = 0, fh = 0, ww = 0, wh = 0, border = 0, depth = 0;
    if (!XGetGeometry(fl_display, frame, &root, &fx, &fy, &fw, &fh, &border, &depth) ||
        !XGetGeometry(fl_display, xid, &root, &wx, &wy, &ww, &wh, &border, &depth) ||
        !XTranslateCoordinates(fl_display, xid, frame, 0, 0, &wx, &wy, &child))
        return {};
    FrameExtents e;
    e.left = std::max(0, wx);
    e.top = std::max(0, wy);
    e.right = std::max(0, static_cast<int>(fw) - wx - static_cast<int>(ww));
    e.bottom = std::max(0, static_cast<int>(fh) - wy - static_cast<int>(wh));
    return e;
}

}  // namespace

FrameExtents frame_extents(const Fl_Window& window) {
    Window xid = fl_xid(&window);
    if (!xid)
        return {};
    FrameExtents e;
    if (read_net_frame_extents(xid, e))
        return e;
    return measure_from_tree(xid);
}

FltkCanvas::FltkCanvas(Fl_Window& window, const Scale& scale, int area_top, FrameExtents frame)
    : window_(window), scale_(scale), area_top_(area_top), frame_(frame) {}

double FltkCanvas::outer_width() const {
    return scale_.twips(window_.w() + frame_.left + frame_.right);
}

double FltkCanvas::outer_height() const {
    return scale_.twips(window_.h() + frame_.top + frame_.bottom);
}

void FltkCanvas::fill_rect(float x1, float y1, float x2, float y2, Colour colour) {
    int left = scale_.px(std::min(x1, x2)), right = scale_.px(std::max(x1, x2));
    int top = scale_.px(std::min(y1, y2)), bottom = scale_.px(std::max(y1, y2));
    if (right <= left || bottom <= top)
        return;
    fl_color(static_cast<uchar>(colour_red(colour)), static_cast<uchar>(colour_green(colour)),
             static_cast<uchar>(colour_blue(colour)));
    fl_rectf(left, area_top_ + top, right - left, bottom - top);
}

bool FltkCanvas::shows_point(float x, float y) const {
    if (!window_.shown() || !window_.visible())
        return false;
    double px = std::floor(x * scale_.factor() / 15.0);
    double py = std::floor(y * scale_.factor() / 15.0);
    if (px < 0 || py < 0 || px >= window_.w() || py >= window_.h() - area_top_)
        return false;
    int sx = window_.x() + static_cast<int>(px);
    int sy = window_.y() + area_top_ + static_cast<int>(py);
    for (int i = 0; i < Fl::screen_count(); ++i) {
        int X, Y, W, H;
        Fl::screen_xywh(X, Y, W, H, i);
        if (sx >= X && sx < X + W && sy >= Y && sy < Y + H)
            return true;
    }
    return false;
}

}  // namespace dorvane::fltk
