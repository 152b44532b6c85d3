// SPDX-License-Identifier: MIT
#include "platform/win32/pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include "assets/embedded.h"
#include "platform/win32/resource.h"

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

// A function of a DLL the program loads itself.
template <class F>
F* function(HMODULE module, const char* name) {
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Decodes an image file's bytes (JPEG, PNG, BMP) into a bitmap; nullptr if it cannot.
HBITMAP decode_image(IWICImagingFactory* factory, const void* bytes, std::size_t size) {
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    // The stream only reads the bytes.
    BYTE* data = const_cast<BYTE*>(static_cast<const BYTE*>(bytes));
    if (FAILED(factory->CreateStream(stream.out())) ||
        FAILED(stream->InitializeFromMemory(data, static_cast<DWORD>(size))) ||
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
    if (imaging_)
        imaging_->Release();
    if (com_initialised_)
        function<decltype(CoUninitialize)>(ole32_, "CoUninitialize")();
    // ole32 stays loaded: a DLL of COM's may still hold on to it until the process ends.
}

IWICImagingFactory* Pictures::imaging() {
    if (imaging_tried_)
        return imaging_;
    imaging_tried_ = true;
    ole32_ = LoadLibraryW(L"ole32.dll");
    if (!ole32_)
        return nullptr;
    auto initialize = function<decltype(CoInitializeEx)>(ole32_, "CoInitializeEx");
    auto create = function<decltype(CoCreateInstance)>(ole32_, "CoCreateInstance");
    if (!initialize || !create)
        return nullptr;
    // S_FALSE (initialised already on this thread) is balanced by CoUninitialize as well.
    com_initialised_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    if (FAILED(create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                      IID_IWICImagingFactory, reinterpret_cast<void**>(&imaging_))))
        imaging_ = nullptr;
    return imaging_;
}

HBITMAP Pictures::bitmap(Picture picture) {
    if (auto it = bitmaps_.find(picture); it != bitmaps_.end())
        return it->second;
    HBITMAP bitmap = nullptr;
    const EmbeddedFile* file = find_picture(picture);
    if (IWICImagingFactory* factory = file ? imaging() : nullptr)
        bitmap = decode_image(factory, file->bytes, file->size);
    bitmaps_[picture] = bitmap;
    return bitmap;
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
