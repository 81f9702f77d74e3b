#pragma once

#include <windows.h>

#include <string_view>

namespace hushgate::win32 {

// GDI+ decodes and scales the pictures; it is started once for the run.
class GdiPlusSession {
public:
    GdiPlusSession();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// The bytes of a resource of this program; empty when it is not there.
std::string_view ResourceBytes(const wchar_t* name, const wchar_t* type = RT_RCDATA);

// A picture file held in memory (PNG, JPEG, icon ...), decoded and scaled to
// width x height, as a 32-bit top-down DIB with premultiplied alpha, ready
// for AlphaBlend. Null when it cannot be decoded.
HBITMAP ScaledPicture(std::string_view bytes, int width, int height);

// The picture of resource `name` at width x height. Above 100 % the version
// drawn at twice the size (`name2x`, may be null) is the sharper source.
HBITMAP PictureResource(const wchar_t* name, const wchar_t* name2x, int naturalWidth, int width,
                        int height);

// The same bitmap as its luminance grey at half opacity: how a disabled
// menu item shows its image.
HBITMAP GreyedCopy(HBITMAP bitmap);

// A mouse pointer made from an icon file held in memory, at its natural
// size, with its hot spot at (hotX, hotY).
HCURSOR CursorFromIconFile(std::string_view bytes, int hotX, int hotY);

}  // namespace hushgate::win32
