// SPDX-License-Identifier: MIT
// The pictures built into the program: present by name, decoded on first use, scaled with the
// screen, and absent (not a crash) when there is no such picture. They are the program's own
// bytes, never a user's, so a damaged picture cannot reach the decoder.
#include <gtest/gtest.h>

#include <string>

#include "assets/embedded.h"
#include "platform/fltk/pictures.h"

namespace dorvane::fltk {
namespace {

TEST(FltkPictures, IconAndMascotFramesDecodeAtTheirSizes) {
    Scale scale(96);
    PictureStore store(scale);
    Fl_RGB_Image* icon = store.get(Picture::Icon);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->w(), 16);
    EXPECT_EQ(icon->h(), 16);
    for (Picture frame : {Picture::Frame1, Picture::Frame2, Picture::Frame3, Picture::Frame4}) {
        Fl_RGB_Image* image = store.get(frame);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->w(), 61);
        EXPECT_EQ(image->h(), 71);
        EXPECT_EQ(image->d(), 3);
        EXPECT_EQ(store.get(frame), image);  // decoded once
    }
    EXPECT_EQ(store.get(Picture{}), nullptr);
}

TEST(FltkPictures, FramesScaleWithTheScreenAndTheIconDoesNot) {
    Scale scale(192);
    PictureStore store(scale);
    ASSERT_NE(store.get(Picture::Frame1), nullptr);
    EXPECT_EQ(store.get(Picture::Frame1)->w(), 122);
    EXPECT_EQ(store.get(Picture::Frame1)->h(), 142);
    EXPECT_EQ(store.get(Picture::Icon)->w(), 16);  // the window manager sizes icons itself
}

TEST(FltkPictures, EmbeddedFilesAreFoundByBareNameOnly) {
    const EmbeddedFile* icon = find_embedded("icon16.ppm");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(icon->bytes), 2), "P6");
    EXPECT_EQ(find_embedded("icons/icon16.ppm"), nullptr);
    EXPECT_EQ(find_icon(16), icon);
    EXPECT_EQ(find_icon(24), nullptr);
    EXPECT_EQ(find_embedded("wobbin5.jpg"), nullptr);
}

}  // namespace
}  // namespace dorvane::fltk
