#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace hushgate::win32 {

// Command identifiers of the toolbar's four buttons; position 1 is a
// separator without a key.
enum ToolbarButton : int {
    kToolbarLanguage = 301,
    kToolbarAbout,
    kToolbarWeb,
    kToolbarFacebook,
};

// The key a toolbar command carries ("language", "about", "web",
// "facebook"), or "" for anything else.
const char* ToolbarKey(int command);

// Toolbar1: a separator and four push buttons without captions, drawn
// raised until SetToolbarFlat; tool tips come from the window (TTN_GETDISPINFO).
HWND CreateFlatToolbar(HWND parent, int id);
// Button and image sizes for the window's DPI; the pictures as large as the
// toolbar's image list holds them.
void LayoutToolbar(HWND toolbar, int dpi);
// Switches the flat look (TBSTYLE_FLAT) on or off through the toolbar's own
// style messages, and redraws it.
void SetToolbarFlat(HWND toolbar, bool flat);

// What the icon library gave: one picture per icon (PickIconFrames: every
// numbered icon image of a library of single images), in the order the
// system enumerates them (ascending numbers).
struct ToolbarImages {
    bool libraryUsable = false;
    HIMAGELIST images = nullptr;
    // "#<number> <bytes> <width>x<height>" for each picture, in order.
    std::vector<std::string> keys;
};

// Opens `libraryFile` as a pure resource container (its code never runs),
// collects its numbered icon images (type 3) and icon groups (type 14), and
// frees it again; then makes the picked frames icons with
// CreateIconFromResourceEx. Pending window messages run before each of the 16
// resource types. `imageSize`: the toolbar's picture size at its DPI; the
// frame of each icon nearest it is taken, and the list is as large as the
// frames taken.
ToolbarImages LoadToolbarImages(const std::wstring& libraryFile, int imageSize,
                                void (*doEvents)(void*), void* context);

// Button i of the toolbar (from 1, the separator first) shows image i, for
// as many buttons as there are images. Takes ownership of the image list.
void ApplyToolbarImages(HWND toolbar, HIMAGELIST images);

}  // namespace hushgate::win32
