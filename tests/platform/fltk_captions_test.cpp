// SPDX-License-Identifier: MIT
// Command buttons' captions on real windows: the about box's tall, narrow ANSWER button shows
// its caption whole, in lines that fit inside the button, and a caption that fits stays one line.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "about/aboutqim.h"
#include "platform/fltk/widgets.h"
#include "platform/fltk_x_support.h"
#include "platform/headless/headless.h"
#include "platform/wrap.h"
#include "support/temp_folder.h"

// Last: it brings in Xlib, whose macros clash with the program's names.
#include <FL/fl_draw.H>

namespace dorvane::testing {
namespace {

// An about box that lives in the test double, mirrored on a real window.
struct AboutBoxOnScreen : ::testing::Test {
    TempFolder folder;
    HeadlessServices headless{folder.str()};
    Aboutqim about{headless, headless};
    Aboutqim* box = &about;

    void SetUp() override {
        about.visible = true;
        backend().form_created(*box);
        backend().route([] {});
        ASSERT_TRUE(wait_for([this] {
            Fl_Window* w = window_of(*box);
            return w && w->visible() && !w->damage();
        }));
    }
    void TearDown() override { backend().form_destroyed(*box); }
};

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line;
    return all;
}

TEST_F(AboutBoxOnScreen, AnswerIsLaidOutInWholeLinesThatFitTheButton) {
    Fl_Widget* answer = widget_of(*box, box->Command1);
    ASSERT_NE(answer, nullptr);
    ASSERT_EQ(answer->w(), 49);
    ASSERT_EQ(answer->h(), 97);
    std::vector<std::string> lines = fltk::caption_lines(*answer);
    EXPECT_GE(lines.size(), 2u) << "\"ANSWER\" in 18-point Times is wider than 49 pixels";
    EXPECT_EQ(joined(lines), "ANSWER");
    fl_font(answer->labelfont(), answer->labelsize());
    for (const std::string& line : lines)
        EXPECT_LE(std::ceil(fl_width(line.c_str())), fltk::caption_room(*answer)) << line;
    EXPECT_LE(static_cast<int>(lines.size()) * fl_height(),
              answer->h() - Fl::box_dh(answer->box()));

    Fl_Widget* close = widget_of(*box, box->closeabout);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(fltk::caption_lines(*close), std::vector<std::string>{"Okeli Dokeli Doo!"});
}

// Reads the button back from the screen: dark text pixels form one band of rows per line,
// and none touches the sides inside the bevel, where a clipped line would run into them.
TEST_F(AboutBoxOnScreen, AnswerIsDrawnInItsLinesWithNothingClipped) {
    Fl_Window* window = window_of(*box);
    Fl_Widget* answer = widget_of(*box, box->Command1);
    ASSERT_NE(answer, nullptr);
    const int dx = Fl::box_dx(answer->box()), dy = Fl::box_dy(answer->box());
    const int x = answer->x() + dx, y = answer->y() + dy;
    const int w = answer->w() - Fl::box_dw(answer->box());
    const int h = answer->h() - Fl::box_dh(answer->box());
    window->make_current();
    std::unique_ptr<uchar[]> rgb(fl_read_image(nullptr, x, y, w, h));
    ASSERT_TRUE(rgb);
    auto ink = [&](int col, int row) {
        const uchar* p = &rgb[(row * w + col) * 3];
        return p[0] < 96 && p[1] < 96 && p[2] < 96;
    };
    int bands = 0, left = w, right = -1;
    bool in_band = false;
    for (int row = 0; row < h; ++row) {
        bool any = false;
        for (int col = 0; col < w; ++col) {
            if (ink(col, row)) {
                any = true;
                left = std::min(left, col);
                right = std::max(right, col);
            }
        }
        bands += any && !in_band;
        in_band = any;
    }
    EXPECT_EQ(bands, static_cast<int>(fltk::caption_lines(*answer).size()));
    EXPECT_GT(left, 0) << "text runs into the left side";
    EXPECT_LT(right, w - 1) << "text runs into the right side";
}

}  // namespace
}  // namespace dorvane::testing
