// SPDX-License-Identifier: MIT
#include "platform/fltk/pictures.h"

#include <FL/Fl_JPEG_Image.H>

#include <algorithm>
#include <optional>
#include <vector>

#include "assets/embedded.h"
#include "platform/ppm.h"

namespace dorvane::fltk {

namespace {

constexpr int kLargestIcon = 256;

// Fl_JPEG_Image reads from memory without being told where the bytes end, so a damaged
// picture would have the decoder read on past them. It gets a copy followed by fill bytes
// (0xFF, which JPEG allows before any marker) and one end-of-image marker: whatever the damage,
// nothing skips further than the longest segment a JPEG may declare (65535 bytes), every scan
// for a marker passes over the fill to the end marker, and the decoder stops there.
constexpr std::size_t kJpegPadding = 2 * 65536;
// The pictures are small; anything larger is not one of ours (and the limit keeps the
// decoder's own size arithmetic far from overflowing).
constexpr int kLargestSide = 1024;
constexpr std::size_t kLargestPicture = std::size_t{kLargestSide} * kLargestSide * 3;

// Sets the largest picture FLTK's decoders take, and puts the old limit back.
class SizeLimit {
  public:
    explicit SizeLimit(std::size_t bytes) : old_(Fl_RGB_Image::max_size()) {
        Fl_RGB_Image::max_size(bytes);
    }
    ~SizeLimit() { Fl_RGB_Image::max_size(old_); }
    SizeLimit(const SizeLimit&) = delete;
    SizeLimit& operator=(const SizeLimit&) = delete;

  private:
    std::size_t old_;
};

// An icon's picture (tools/icon/make_icon.py writes them as binary PPMs); nullopt if the file
// is none or larger than any icon.
std::optional<PpmPicture> icon_picture(const EmbeddedFile& file) {
    std::optional<PpmPicture> ppm = parse_ppm(file.bytes, file.size);
    if (!ppm || ppm->width > kLargestIcon || ppm->height > kLargestIcon)
        return std::nullopt;
    return ppm;
}

std::unique_ptr<Fl_RGB_Image> decode_icon(const EmbeddedFile& file) {
    std::optional<PpmPicture> ppm = icon_picture(file);
    if (!ppm)
        return nullptr;
    std::vector<unsigned char> rgb = ppm_rgb8(*ppm);
    auto* data = new unsigned char[rgb.size()];
    std::copy(rgb.begin(), rgb.end(), data);
    auto image = std::make_unique<Fl_RGB_Image>(data, ppm->width, ppm->height, 3);
    image->alloc_array = 1;
    return image;
}

std::unique_ptr<Fl_RGB_Image> scaled(std::unique_ptr<Fl_RGB_Image> image, double factor) {
    if (!image || factor == 1.0)
        return image;
    int w = std::max(1, static_cast<int>(image->w() * factor + 0.5));
    int h = std::max(1, static_cast<int>(image->h() * factor + 0.5));
    return std::unique_ptr<Fl_RGB_Image>(static_cast<Fl_RGB_Image*>(image->copy(w, h)));
}

}  // namespace

std::unique_ptr<Fl_RGB_Image> decode_jpeg(const unsigned char* bytes, std::size_t size) {
    // A file cut short lacks its end-of-image marker; the decoder would only warn about it and
    // make up the missing rows.
    if (!bytes || size < 4 || bytes[size - 2] != 0xFF || bytes[size - 1] != 0xD9)
        return nullptr;
    std::vector<unsigned char> padded;
    padded.reserve(size + kJpegPadding);
    padded.assign(bytes, bytes + size);
    padded.resize(size + kJpegPadding, 0xFF);
    padded.back() = 0xD9;
    SizeLimit limit(kLargestPicture);
    // No name: the picture is not put among FLTK's shared images.
    auto image = std::make_unique<Fl_JPEG_Image>(nullptr, padded.data());
    if (image->fail() || image->w() <= 0 || image->h() <= 0 || image->d() != 3 ||
        image->w() > kLargestSide || image->h() > kLargestSide)
        return nullptr;
    return image;
}

Fl_RGB_Image* PictureStore::get(Picture picture) {
    auto slot = static_cast<std::size_t>(picture);
    if (picture == Picture::None || slot >= images_.size())
        return nullptr;
    if (!tried_[slot]) {
        tried_[slot] = true;
        if (const EmbeddedFile* file = find_picture(picture)) {
            // The window manager sizes icons itself; the mascot grows with the screen.
            images_[slot] = picture == Picture::Icon
                                ? decode_icon(*file)
                                : scaled(decode_jpeg(file->bytes, file->size), scale_.factor());
        }
    }
    return images_[slot].get();
}

const std::vector<const Fl_RGB_Image*>& PictureStore::icons() {
    if (!icons_tried_) {
        icons_tried_ = true;
        for (int size : kIconSizes) {
            const EmbeddedFile* file = find_icon(size);
            std::optional<PpmPicture> ppm = file ? icon_picture(*file) : std::nullopt;
            if (!ppm)
                continue;
            // Over the built-in bytes themselves where they are 8-bit (as ours are), not a copy:
            // the window copies what it keeps.
            const unsigned char* rgb = ppm->samples;
            if (ppm->max != 255)
                rgb = icon_pixels_.emplace_back(ppm_rgb8(*ppm)).data();
            icon_images_.push_back(std::make_unique<Fl_RGB_Image>(rgb, ppm->width, ppm->height, 3));
            icons_.push_back(icon_images_.back().get());
        }
    }
    return icons_;
}

}  // namespace dorvane::fltk
