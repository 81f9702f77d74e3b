#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "view_types.h"

namespace hushgate::win32 {

// Command identifiers of the main window's menu items.
enum MenuCommand : UINT {
    kMenuExit = 200,
    kMenuCheckUpdates,
    kMenuLanguage,
    kMenuDonate,
    kMenuWeb,
    kMenuAbout,
    kMenuFacebook,
};

// The main window's menu bar (File: Exit; Help: Check for updates, a
// separator, Change language, Donate, Web, About, and the toolbar's last
// command), with the five menu images beside their items.
//
// The images are the PNG_0 to PNG_4 resources, scaled to the window's DPI.
// Windows Vista and later draw a 32-bit item bitmap with its alpha, so there
// the bitmap goes to the item and the system draws it. Older systems, and
// Wine (which draws item bitmaps without their alpha), get the callback
// marker instead, and the window draws each image itself (DrawItem), grey
// at half opacity when the item is disabled.
class MainMenu {
public:
    MainMenu() = default;
    ~MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    // The menu bar with the layout's captions.
    HMENU create();
    void setText(Control control, const std::wstring& text);
    std::wstring text(Control control) const;
    // Gives the captions, which come without access keys, the first free
    // letter of their group (access_keys.h): the titles share theirs with
    // `taken`, the keys of the window's buttons; each menu's items share
    // theirs.
    void markAccessKeys(const std::wstring& taken);
    // Which menu controls there are, in menu order (for the scenario log).
    static const std::vector<Control>& Controls();

    // (Re)attaches the images at the size that suits `dpi`; false when none
    // could be made.
    bool attachImages(int dpi);
    bool drawnByProgram() const { return drawnByProgram_; }
    // WM_MEASUREITEM and WM_DRAWITEM for the callback items; false for
    // anything else.
    bool measureItem(MEASUREITEMSTRUCT& item) const;
    bool drawItem(const DRAWITEMSTRUCT& item) const;

private:
    struct Place {
        HMENU menu;
        UINT position;
    };
    bool locate(Control control, Place& place) const;
    void clearImages();
    static constexpr std::size_t kNoImage = static_cast<std::size_t>(-1);

    HMENU bar_ = nullptr;
    HMENU file_ = nullptr;
    HMENU help_ = nullptr;
    bool drawnByProgram_ = false;
    int imageSize_ = 16;
    std::vector<HBITMAP> images_;
    std::vector<HBITMAP> greyed_;
    // The items drawn through the callback, and the image of each (kNoImage
    // for an item that has none).
    std::map<UINT, std::size_t> imageOfItem_;
};

// True under Wine, which draws menu item bitmaps without their alpha.
bool RunningOnWine();

}  // namespace hushgate::win32
