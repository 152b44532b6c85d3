#include "platform/win32/pictures.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <cctype>
#include <string>

#include "assets/embedded.h"

namespace dorvane::win32 {

namespace {

// Releases a COM interface however the function leaves.
template <class T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p)
            p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

// A 32-bit bitmap whose pixels the caller fills, blue, green, red, unused, top row first.
HBITMAP make_bitmap(int width, int height, void*& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
}

// The next whole number of a binary PPM header, past blanks and comments; -1 if none.
int ppm_number(const unsigned char*& p, const unsigned char* end) {
    while (p < end && (std::isspace(*p) || *p == '#')) {
        if (*p == '#')
            while (p < end && *p != '\n')
                ++p;
        else
            ++p;
    }
    if (p == end || !std::isdigit(*p))
        return -1;
    int n = 0;
    while (p < end && std::isdigit(*p) && n < 100000)
        n = n * 10 + (*p++ - '0');
    return n;
}

// The icon from a binary PPM (P6, 8 bits a component); nullptr if it is not one.
HICON icon_from_ppm(const unsigned char* bytes, std::size_t size) {
    const unsigned char* p = bytes + 2;
    const unsigned char* end = bytes + size;
    if (size < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return nullptr;
    int width = ppm_number(p, end), height = ppm_number(p, end), max = ppm_number(p, end);
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || max != 255 || p == end)
        return nullptr;
    ++p;  // the one blank after the header
    if (static_cast<std::size_t>(end - p) < static_cast<std::size_t>(width) * height * 3)
        return nullptr;

    void* pixels = nullptr;
    HBITMAP colour = make_bitmap(width, height, pixels);
    if (!colour)
        return nullptr;
    auto* out = static_cast<unsigned char*>(pixels);
    for (int i = 0; i < width * height; ++i, p += 3, out += 4) {
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
        out[3] = 255;
    }
    std::string mask(static_cast<std::size_t>((width + 15) / 16 * 2) * height, '\0');
    HBITMAP opaque = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO parts{TRUE, 0, 0, opaque, colour};
    HICON icon = CreateIconIndirect(&parts);
    DeleteObject(opaque);
    DeleteObject(colour);
    return icon;
}

}  // namespace

HBITMAP decode_image(const void* bytes, std::size_t size) {
    Com<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))))
        return nullptr;
    Com<IStream> stream;
    stream.p = SHCreateMemStream(static_cast<const BYTE*>(bytes), static_cast<UINT>(size));
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    if (!stream.p ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.out())) ||
        FAILED(decoder->GetFrame(0, frame.out())) ||
        FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0, WICBitmapPaletteTypeCustom)))
        return nullptr;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0)
        return nullptr;

    void* pixels = nullptr;
    HBITMAP bitmap = make_bitmap(static_cast<int>(width), static_cast<int>(height), pixels);
    if (!bitmap)
        return nullptr;
    UINT stride = width * 4;
    if (FAILED(
            converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

Pictures::~Pictures() {
    for (auto& [picture, bitmap] : bitmaps_) {
        if (bitmap)
            DeleteObject(bitmap);
    }
    if (icon_)
        DestroyIcon(icon_);
}

HBITMAP Pictures::bitmap(Picture picture) {
    if (auto it = bitmaps_.find(picture); it != bitmaps_.end())
        return it->second;
    HBITMAP bitmap = nullptr;
    if (const EmbeddedFile* file = find_picture(picture))
        bitmap = decode_image(file->bytes, file->size);
    bitmaps_[picture] = bitmap;
    return bitmap;
}

HICON Pictures::icon() {
    if (!icon_) {
        if (const EmbeddedFile* file = find_picture(Picture::Icon))
            icon_ = icon_from_ppm(file->bytes, file->size);
    }
    return icon_ ? icon_ : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
}

}  // namespace dorvane::win32
