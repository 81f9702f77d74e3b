#include "main_menu.h"

#include <algorithm>

#include "access_keys.h"
#include "pictures.h"

namespace hushgate::win32 {

namespace {

struct Item {
    Control control;
    bool inHelp;
    UINT position;  // within its menu, separators included
    UINT command;
    const wchar_t* caption;
    int image;  // index of PNG_n, or -1
};

// The layout's menus. The positions matter: the images go by position.
constexpr Item kItems[] = {
    {Control::mnuExit, false, 0, kMenuExit, L"Exit", 0},
    {Control::mnuCheckUpdates, true, 0, kMenuCheckUpdates, L"Check for updates...", 1},
    {Control::mnuLanguage, true, 2, kMenuLanguage, L"Change language", 2},
    {Control::mnuDonate, true, 3, kMenuDonate, L"Donate...", -1},
    {Control::mnuWeb, true, 4, kMenuWeb, L"Web...", 3},
    {Control::mnuAbout, true, 5, kMenuAbout, L"About...", 4},
    // After the layout's items, so their positions stay as they are.
    {Control::mnuFacebook, true, 6, kMenuFacebook, L"Follow me on Facebook...", -1},
};

constexpr const wchar_t* kImageNames[] = {L"PNG_0", L"PNG_1", L"PNG_2", L"PNG_3", L"PNG_4"};
// The same drawn at 32 pixels, the source from 24 pixels (150 %) up.
constexpr const wchar_t* kImageNames2x[] = {L"PNG_0_2X", L"PNG_1_2X", L"PNG_2_2X", L"PNG_3_2X",
                                            L"PNG_4_2X"};

bool vistaOrLater() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&version) && version.dwMajorVersion >= 6;
#pragma GCC diagnostic pop
}

}  // namespace

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

MainMenu::~MainMenu() {
    clearImages();
}

HMENU MainMenu::create() {
    bar_ = CreateMenu();
    file_ = CreatePopupMenu();
    help_ = CreatePopupMenu();
    AppendMenuW(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(file_), L"File");
    AppendMenuW(bar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(help_), L"Help");
    for (const Item& item : kItems) {
        HMENU menu = item.inHelp ? help_ : file_;
        if (item.inHelp && item.position == 2) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);  // mnuLine2
        }
        AppendMenuW(menu, MF_STRING, item.command, item.caption);
    }
    return bar_;
}

const std::vector<Control>& MainMenu::Controls() {
    static const std::vector<Control> controls = [] {
        std::vector<Control> all{Control::mnuFile, Control::mnuHelp};
        for (const Item& item : kItems) {
            all.push_back(item.control);
        }
        return all;
    }();
    return controls;
}

bool MainMenu::locate(Control control, Place& place) const {
    if (control == Control::mnuFile || control == Control::mnuHelp) {
        place = {bar_, control == Control::mnuFile ? 0u : 1u};
        return true;
    }
    for (const Item& item : kItems) {
        if (item.control == control) {
            place = {item.inHelp ? help_ : file_, item.position};
            return true;
        }
    }
    return false;
}

void MainMenu::setText(Control control, const std::wstring& text) {
    Place place{};
    if (!locate(control, place)) {
        return;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    SetMenuItemInfoW(place.menu, place.position, TRUE, &info);
}

std::wstring MainMenu::text(Control control) const {
    Place place{};
    if (!locate(control, place)) {
        return {};
    }
    wchar_t buffer[512] = {};
    GetMenuStringW(place.menu, place.position, buffer, 512, MF_BYPOSITION);
    return buffer;
}

void MainMenu::markAccessKeys(const std::wstring& taken) {
    // wchar_t is UTF-16 on Windows.
    const auto mark = [this](const std::vector<Control>& group, const std::wstring& keys) {
        std::vector<std::u16string> captions;
        for (const Control control : group) {
            const std::wstring caption = text(control);
            captions.emplace_back(caption.begin(), caption.end());
        }
        const std::vector<std::u16string> marked =
            WithAccessKeys(captions, std::u16string(keys.begin(), keys.end()));
        for (std::size_t i = 0; i < group.size(); ++i) {
            setText(group[i], std::wstring(marked[i].begin(), marked[i].end()));
        }
    };
    mark({Control::mnuFile, Control::mnuHelp}, taken);
    std::vector<Control> file, help;
    for (const Item& item : kItems) {
        (item.inHelp ? help : file).push_back(item.control);
    }
    mark(file, {});
    mark(help, {});
}

void MainMenu::clearImages() {
    for (HBITMAP bitmap : images_) {
        DeleteObject(bitmap);
    }
    for (HBITMAP bitmap : greyed_) {
        DeleteObject(bitmap);
    }
    images_.clear();
    greyed_.clear();
}

bool MainMenu::attachImages(int dpi) {
    drawnByProgram_ = !vistaOrLater() || RunningOnWine();
    imageSize_ = MulDiv(16, dpi, 96);
    std::vector<HBITMAP> old = std::move(images_);
    std::vector<HBITMAP> oldGreyed = std::move(greyed_);
    images_.clear();
    greyed_.clear();
    imageOfItem_.clear();
    for (std::size_t i = 0; i < std::size(kImageNames); ++i) {
        // The drawing (16 or 32) nearest the size wanted, scaled to it; a PNG that
        // cannot be read leaves its item without an image.
        const wchar_t* name = imageSize_ >= 24 ? kImageNames2x[i] : kImageNames[i];
        HBITMAP image = ScaledPicture(ResourceBytes(name, L"CUSTOM"), imageSize_, imageSize_);
        images_.push_back(image);
        greyed_.push_back(image != nullptr ? GreyedCopy(image) : nullptr);
    }
    bool any = false;
    for (const Item& item : kItems) {
        const bool hasImage =
            item.image >= 0 && images_[static_cast<std::size_t>(item.image)] != nullptr;
        // Drawn by us, every item takes the callback, so that all texts start
        // after the same image column (Wine would not count that column in an
        // item without one, and cut its text).
        if (!hasImage && !drawnByProgram_) {
            continue;
        }
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem =
            drawnByProgram_ ? HBMMENU_CALLBACK : images_[static_cast<std::size_t>(item.image)];
        any |= SetMenuItemInfoW(item.inHelp ? help_ : file_, item.position, TRUE, &info) != FALSE &&
               hasImage;
        imageOfItem_[item.command] = hasImage ? static_cast<std::size_t>(item.image) : kNoImage;
    }
    if (drawnByProgram_) {
        // No room kept for check marks: nothing here is ever checked.
        MENUINFO style{};
        style.cbSize = sizeof style;
        style.fMask = MIM_STYLE;
        style.dwStyle = MNS_NOCHECK;
        SetMenuInfo(file_, &style);
        SetMenuInfo(help_, &style);
    }
    for (HBITMAP bitmap : old) {
        DeleteObject(bitmap);
    }
    for (HBITMAP bitmap : oldGreyed) {
        DeleteObject(bitmap);
    }
    return any;
}

bool MainMenu::measureItem(MEASUREITEMSTRUCT& item) const {
    if (item.CtlType != ODT_MENU || !imageOfItem_.contains(item.itemID)) {
        return false;
    }
    item.itemWidth = static_cast<UINT>(imageSize_ + 4);
    item.itemHeight = std::max<UINT>(item.itemHeight, static_cast<UINT>(imageSize_ + 4));
    return true;
}

bool MainMenu::drawItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlType != ODT_MENU) {
        return false;
    }
    const auto found = imageOfItem_.find(item.itemID);
    if (found == imageOfItem_.end()) {
        return false;
    }
    if (found->second == kNoImage) {
        return true;
    }
    const bool grey = (item.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    HBITMAP image = (grey ? greyed_ : images_)[found->second];
    if (image == nullptr) {
        return true;
    }
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, image);
    const int top = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - imageSize_) / 2;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(item.hDC, item.rcItem.left + 2, top, imageSize_, imageSize_, source, 0, 0,
               imageSize_, imageSize_, blend);
    SelectObject(source, old);
    DeleteDC(source);
    return true;
}

}  // namespace hushgate::win32
