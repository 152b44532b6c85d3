// SPDX-License-Identifier: MIT
#include "platform/win32/pictures.h"

#include "assets/embedded.h"
#include "platform/ppm.h"
#include "platform/win32/resource.h"

namespace dorvane::win32 {

namespace {

// A 32-bit bitmap of the picture's pixels; nullptr if the bytes hold none.
HBITMAP make_bitmap(const EmbeddedFile& file) {
    std::optional<PpmPicture> ppm = parse_ppm(file.bytes, file.size);
    if (!ppm)
        return nullptr;
    std::vector<unsigned char> rgb = ppm_rgb8(*ppm);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ppm->width;
    info.bmiHeader.biHeight = -ppm->height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap)
        return nullptr;
    // Blue, green, red, unused.
    auto* out = static_cast<unsigned char*>(bits);
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3, out += 4) {
        out[0] = rgb[i + 2];
        out[1] = rgb[i + 1];
        out[2] = rgb[i];
        out[3] = 0;
    }
    return bitmap;
}

}  // namespace

Pictures::~Pictures() {
    for (auto& [picture, bitmap] : bitmaps_) {
        if (bitmap)
            DeleteObject(bitmap);
    }
    for (HICON icon : icons_) {
        if (icon)
            DestroyIcon(icon);
    }
}

HBITMAP Pictures::bitmap(Picture picture) {
    if (auto it = bitmaps_.find(picture); it != bitmaps_.end())
        return it->second;
    const EmbeddedFile* file = find_picture(picture);
    return bitmaps_[picture] = file ? make_bitmap(*file) : nullptr;
}

HICON Pictures::icon(bool small_icon) {
    HICON& icon = icons_[small_icon ? 1 : 0];
    if (!icon) {
        int side = GetSystemMetrics(small_icon ? SM_CXSMICON : SM_CXICON);
        // The size nearest the system's from the program's own icon resource.
        icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                             MAKEINTRESOURCEW(DORVANE_ICON_RESOURCE), IMAGE_ICON,
                                             side, side, LR_DEFAULTCOLOR));
    }
    return icon ? icon : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
}

}  // namespace dorvane::win32
