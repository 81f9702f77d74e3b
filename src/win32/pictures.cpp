#include "pictures.h"

#include <objidl.h>
// GDI+ needs min and max, which NOMINMAX takes away.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <cstring>
#include <memory>

namespace hushgate::win32 {

namespace {

// A DIB section of width x height, 32 bits, top-down; `bits` receives its pixels.
HBITMAP createDib(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

std::unique_ptr<Gdiplus::Bitmap> decode(std::string_view bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) {
        return nullptr;
    }
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(memory, TRUE, &stream) != S_OK) {
        GlobalFree(memory);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    if (bitmap == nullptr || bitmap->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

}  // namespace

GdiPlusSession::GdiPlusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiPlusSession::~GdiPlusSession() {
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

std::string_view ResourceBytes(const wchar_t* name, const wchar_t* type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    return data != nullptr
               ? std::string_view(static_cast<const char*>(data), SizeofResource(module, found))
               : std::string_view();
}

HBITMAP ScaledPicture(std::string_view bytes, int width, int height) {
    std::unique_ptr<Gdiplus::Bitmap> source = decode(bytes);
    if (source == nullptr || width <= 0 || height <= 0) {
        return nullptr;
    }
    Gdiplus::Bitmap scaled(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&scaled);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        Gdiplus::ImageAttributes edges;
        edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);  // no grey seam at the borders
        graphics.DrawImage(source.get(), Gdiplus::Rect(0, 0, width, height), 0, 0,
                           static_cast<INT>(source->GetWidth()),
                           static_cast<INT>(source->GetHeight()), Gdiplus::UnitPixel, &edges);
    }
    Gdiplus::BitmapData pixels{};
    Gdiplus::Rect all(0, 0, width, height);
    if (scaled.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &pixels) !=
        Gdiplus::Ok) {
        return nullptr;
    }
    void* bits = nullptr;
    HBITMAP dib = createDib(width, height, &bits);
    if (dib != nullptr) {
        for (int row = 0; row < height; ++row) {
            std::memcpy(static_cast<char*>(bits) + static_cast<std::size_t>(row) * width * 4,
                        static_cast<const char*>(pixels.Scan0) + row * pixels.Stride,
                        static_cast<std::size_t>(width) * 4);
        }
    }
    scaled.UnlockBits(&pixels);
    return dib;
}

HBITMAP PictureResource(const wchar_t* name, const wchar_t* name2x, int naturalWidth, int width,
                        int height) {
    const bool larger = name2x != nullptr && width * 4 > naturalWidth * 5;
    return ScaledPicture(ResourceBytes(larger ? name2x : name), width, height);
}

HBITMAP GreyedCopy(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBitsPixel != 32) {
        return nullptr;
    }
    const int width = section.dsBm.bmWidth;
    const int height = section.dsBm.bmHeight;
    void* bits = nullptr;
    HBITMAP grey = createDib(width, height, &bits);
    if (grey == nullptr) {
        return nullptr;
    }
    const auto* from = static_cast<const unsigned char*>(section.dsBm.bmBits);
    auto* to = static_cast<unsigned char*>(bits);
    for (int i = 0; i < width * height * 4; i += 4) {
        // Premultiplied values stay premultiplied: both steps are linear.
        const int luminance = (114 * from[i] + 587 * from[i + 1] + 299 * from[i + 2]) / 1000;
        to[i] = to[i + 1] = to[i + 2] = static_cast<unsigned char>(luminance / 2);
        to[i + 3] = static_cast<unsigned char>(from[i + 3] / 2);
    }
    return grey;
}

HCURSOR CursorFromIconFile(std::string_view bytes, int hotX, int hotY) {
    std::unique_ptr<Gdiplus::Bitmap> source = decode(bytes);
    HICON icon = nullptr;
    if (source == nullptr || source->GetHICON(&icon) != Gdiplus::Ok) {
        return nullptr;
    }
    ICONINFO info{};
    HCURSOR cursor = nullptr;
    if (GetIconInfo(icon, &info)) {
        info.fIcon = FALSE;
        info.xHotspot = static_cast<DWORD>(hotX);
        info.yHotspot = static_cast<DWORD>(hotY);
        cursor = CreateIconIndirect(&info);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyIcon(icon);
    return cursor;
}

}  // namespace hushgate::win32
