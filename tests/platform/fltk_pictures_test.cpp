// SPDX-License-Identifier: MIT
// The pictures built into the program: present by name, decoded on first use, scaled with the
// screen, and absent (not a crash) when there is no such picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

std::vector<unsigned char> mascot_bytes() {
    const EmbeddedFile* file = find_embedded("wobbin1.jpg");
    EXPECT_NE(file, nullptr);
    return file ? std::vector<unsigned char>(file->bytes, file->bytes + file->size)
                : std::vector<unsigned char>{};
}

// Decodes a copy in a block of exactly its size, so that a read past its end is a read out of
// the block (which the sanitizer build reports).
std::unique_ptr<Fl_RGB_Image> decode(const std::vector<unsigned char>& bytes) {
    std::unique_ptr<unsigned char[]> exact(new unsigned char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    return decode_jpeg(exact.get(), bytes.size());
}

// Where the frame header's height sits (after FF C0, the length and the precision).
std::size_t frame_height_at(const std::vector<unsigned char>& jpeg) {
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0)
            return i + 5;
    }
    return 0;
}

TEST(FltkJpeg, AWholePictureDecodesAsColourPixels) {
    std::unique_ptr<Fl_RGB_Image> image = decode(mascot_bytes());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w(), 61);
    EXPECT_EQ(image->h(), 71);
    EXPECT_EQ(image->d(), 3);
    EXPECT_EQ(decode_jpeg(nullptr, 0), nullptr);
}

TEST(FltkJpeg, APictureCutShortAnywhereShowsNothing) {
    const std::vector<unsigned char> whole = mascot_bytes();
    ASSERT_GT(whole.size(), 100u);
    for (std::size_t cut = 0; cut < whole.size(); cut += cut < 200 ? 1 : 37) {
        std::vector<unsigned char> part(whole.begin(), whole.begin() + cut);
        EXPECT_EQ(decode(part), nullptr) << cut;
    }
}

TEST(FltkJpeg, DamagedBytesNeverCrashAndAHugeFrameIsRefused) {
    const std::vector<unsigned char> whole = mascot_bytes();
    ASSERT_FALSE(whole.empty());
    // Every byte in turn made the one that misleads most: a marker's start, or a length's
    // largest value.
    for (std::size_t at = 2; at + 2 < whole.size(); ++at) {
        for (unsigned char value : {0xFF, 0x00}) {
            std::vector<unsigned char> damaged = whole;
            damaged[at] = value;
            std::unique_ptr<Fl_RGB_Image> image = decode(damaged);
            // Some damage only garbles the pixels or changes the frame's size; what decodes
            // is still a picture within the bounds.
            if (image) {
                EXPECT_TRUE(image->w() >= 1 && image->w() <= 1024 && image->h() >= 1 &&
                            image->h() <= 1024 && image->d() == 3)
                    << at;
            }
        }
    }
    // Frames too large for a picture of ours: among them one whose pixels' count, in the
    // decoder's int arithmetic, would wrap round to a small buffer.
    std::size_t height_at = frame_height_at(whole);
    ASSERT_NE(height_at, 0u);
    for (auto [height, width] :
         {std::pair{65500, 65500}, std::pair{21858, 65500}, std::pair{1025, 61},
          std::pair{1025, 1025}, std::pair{71, 20000}}) {
        std::vector<unsigned char> huge = whole;
        huge[height_at] = static_cast<unsigned char>(height >> 8);
        huge[height_at + 1] = static_cast<unsigned char>(height & 0xFF);
        huge[height_at + 2] = static_cast<unsigned char>(width >> 8);
        huge[height_at + 3] = static_cast<unsigned char>(width & 0xFF);
        EXPECT_EQ(decode(huge), nullptr) << height << " x " << width;
    }
    // Not a JPEG at all, though it ends like one.
    EXPECT_EQ(decode({'P', '6', ' ', '1', 0xFF, 0xD9}), nullptr);
    EXPECT_EQ(decode(std::vector<unsigned char>(4096, 0xFF)), nullptr);
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
