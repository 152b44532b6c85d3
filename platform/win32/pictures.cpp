#include "platform/win32/pictures.h"

#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include "platform/win32/resources.h"

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

int resource_of(Picture picture) {
    switch (picture) {
        case Picture::Frame1:
            return kWobbin1;
        case Picture::Frame2:
            return kWobbin2;
        case Picture::Frame3:
            return kWobbin3;
        case Picture::Frame4:
            return kWobbin4;
        default:
            return 0;
    }
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

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top row first, as WIC gives it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
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
}

HBITMAP Pictures::bitmap(Picture picture) {
    if (auto it = bitmaps_.find(picture); it != bitmaps_.end())
        return it->second;
    HBITMAP bitmap = nullptr;
    if (int id = resource_of(picture)) {
        HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
        HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (bytes)
            bitmap = decode_image(bytes, SizeofResource(instance_, found));
    }
    bitmaps_[picture] = bitmap;
    return bitmap;
}

HICON Pictures::icon(bool small) {
    int size = GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    auto icon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    return icon ? icon : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
}

}  // namespace dorvane::win32
