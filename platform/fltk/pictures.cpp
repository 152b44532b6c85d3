// SPDX-License-Identifier: MIT
#include "platform/fltk/pictures.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "assets/embedded.h"
#include "platform/ppm.h"

namespace dorvane::fltk {

namespace {

constexpr int kLargestIcon = 256;

struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

// libjpeg ends the process on a damaged file unless its error handler jumps out.
void jpeg_fail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Kept free of objects with destructors between setjmp and the last libjpeg call; the pixels
// are returned in a malloc'd block that the caller frees.
unsigned char* decode_jpeg_rgb(const unsigned char* bytes, std::size_t size, int& width,
                               int& height) {
    jpeg_decompress_struct info;
    JpegError error;
    unsigned char* volatile out = nullptr;
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = jpeg_fail;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(out);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    std::size_t row = static_cast<std::size_t>(width) * 3;
    // The pictures are small; anything larger is not one of ours.
    if (info.output_components != 3 || width > 1024 || height > 1024) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    out = static_cast<unsigned char*>(std::malloc(row * static_cast<std::size_t>(height)));
    while (out && info.output_scanline < info.output_height) {
        JSAMPROW line = out + row * info.output_scanline;
        jpeg_read_scanlines(&info, &line, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

bool decode_jpeg(const EmbeddedFile& file, Pixels& pixels) {
    unsigned char* rgb = decode_jpeg_rgb(file.bytes, file.size, pixels.width, pixels.height);
    if (!rgb)
        return false;
    pixels.rgb.assign(rgb, rgb + static_cast<std::size_t>(pixels.width) * pixels.height * 3);
    std::free(rgb);
    return true;
}

// An icon's picture (tools/icon/make_icon.py writes them as binary PPMs); nullopt if the file
// is none or larger than any icon.
std::optional<PpmPicture> icon_picture(const EmbeddedFile& file) {
    std::optional<PpmPicture> ppm = parse_ppm(file.bytes, file.size);
    if (!ppm || ppm->width > kLargestIcon || ppm->height > kLargestIcon)
        return std::nullopt;
    return ppm;
}

bool decode_ppm(const EmbeddedFile& file, Pixels& pixels) {
    std::optional<PpmPicture> ppm = icon_picture(file);
    if (!ppm)
        return false;
    pixels.width = ppm->width;
    pixels.height = ppm->height;
    pixels.rgb = ppm_rgb8(*ppm);
    return true;
}

std::unique_ptr<Fl_RGB_Image> make_image(Pixels& pixels, double factor, bool scaled) {
    auto* data = new unsigned char[pixels.rgb.size()];
    std::memcpy(data, pixels.rgb.data(), pixels.rgb.size());
    auto image = std::make_unique<Fl_RGB_Image>(data, pixels.width, pixels.height, 3);
    image->alloc_array = 1;
    if (!scaled || factor == 1.0)
        return image;
    int w = std::max(1, static_cast<int>(pixels.width * factor + 0.5));
    int h = std::max(1, static_cast<int>(pixels.height * factor + 0.5));
    return std::unique_ptr<Fl_RGB_Image>(static_cast<Fl_RGB_Image*>(image->copy(w, h)));
}

}  // namespace

Fl_RGB_Image* PictureStore::get(Picture picture) {
    auto slot = static_cast<std::size_t>(picture);
    if (picture == Picture::None || slot >= images_.size())
        return nullptr;
    if (!tried_[slot]) {
        tried_[slot] = true;
        const EmbeddedFile* file = find_picture(picture);
        Pixels pixels;
        bool icon = picture == Picture::Icon;
        if (file && (icon ? decode_ppm(*file, pixels) : decode_jpeg(*file, pixels)))
            images_[slot] = make_image(pixels, scale_.factor(), !icon);
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
