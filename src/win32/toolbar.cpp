#include "toolbar.h"

#include <algorithm>
#include <cstring>

namespace hushgate::win32 {

namespace {

constexpr int kImageSize = 24;  // the pictures of resources.dll
constexpr int kToolbarHeight = 28;

struct Button {
    int command;
    const char* key;
};
constexpr Button kButtons[] = {
    {kToolbarLanguage, "language"},
    {kToolbarAbout, "about"},
    {kToolbarWeb, "web"},
    {kToolbarFacebook, "facebook"},
};

struct Collector {
    HMODULE library;
    int imageSize;
    ToolbarImages* result;
};

void addIcon(Collector& collector, WORD number) {
    HRSRC found = FindResourceW(collector.library, MAKEINTRESOURCEW(number), RT_ICON);
    HGLOBAL loaded = found != nullptr ? LoadResource(collector.library, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(collector.library, found) : 0;
    if (data == nullptr || size == 0) {
        return;  // an empty image is passed over
    }
    // A private copy: the picture must not depend on the library, which is
    // freed right after.
    std::vector<BYTE> bytes(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    HICON icon =
        CreateIconFromResourceEx(bytes.data(), size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (icon == nullptr) {
        return;  // bytes that make no icon: passed over, the next ones move up
    }
    ICONINFO info{};
    BITMAP bitmap{};
    if (GetIconInfo(icon, &info)) {
        GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        if (info.hbmColor == nullptr) {
            bitmap.bmHeight /= 2;  // a monochrome icon's mask holds both halves
        }
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    if (collector.result->images == nullptr) {
        collector.result->images = ImageList_Create(collector.imageSize, collector.imageSize,
                                                    ILC_COLOR32 | ILC_MASK, 5, 5);
    }
    ImageList_ReplaceIcon(collector.result->images, -1, icon);
    DestroyIcon(icon);
    collector.result->keys.push_back("#" + std::to_string(number) + " " + std::to_string(size) +
                                     " " + std::to_string(bitmap.bmWidth) + "x" +
                                     std::to_string(bitmap.bmHeight));
}

BOOL CALLBACK resourceName(HMODULE, LPCWSTR type, LPWSTR name, LONG_PTR value) {
    // Only numbered icon images count; named resources are passed over.
    if (IS_INTRESOURCE(name) && type == RT_ICON) {
        addIcon(*reinterpret_cast<Collector*>(value),
                static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return TRUE;
}

}  // namespace

const char* ToolbarKey(int command) {
    for (const Button& button : kButtons) {
        if (button.command == command) {
            return button.key;
        }
    }
    return "";
}

HWND CreateFlatToolbar(HWND parent, int id) {
    HWND toolbar =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS |
                            CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON buttons[5] = {};
    buttons[0].iBitmap = 6;  // a separator's width
    buttons[0].fsStyle = BTNS_SEP;
    for (int i = 0; i < 4; ++i) {
        buttons[i + 1].iBitmap = I_IMAGENONE;
        buttons[i + 1].idCommand = kButtons[i].command;
        buttons[i + 1].fsState = TBSTATE_ENABLED;
        buttons[i + 1].fsStyle = BTNS_BUTTON;
        buttons[i + 1].iString = -1;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, 5, reinterpret_cast<LPARAM>(buttons));
    return toolbar;
}

void LayoutToolbar(HWND toolbar, int dpi) {
    const int image = MulDiv(kImageSize, dpi, 96);
    const int side = MulDiv(kToolbarHeight, dpi, 96);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(image, image));
    // Buttons as high as the toolbar, so the pictures are never cut.
    SendMessageW(toolbar, TB_SETPADDING, 0, MAKELPARAM(side - image, side - image));
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(side, side));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void SetToolbarFlat(HWND toolbar, bool flat) {
    LRESULT style = SendMessageW(toolbar, TB_GETSTYLE, 0, 0);
    if (!flat && (style & TBSTYLE_FLAT) != 0) {
        style &= ~static_cast<LRESULT>(TBSTYLE_FLAT);
    } else if (flat) {
        style |= TBSTYLE_FLAT;
    }
    SendMessageW(toolbar, TB_SETSTYLE, 0, style);
    InvalidateRect(toolbar, nullptr, TRUE);
    UpdateWindow(toolbar);
}

ToolbarImages LoadToolbarImages(const std::wstring& libraryFile, int imageSize,
                                void (*doEvents)(void*), void* context) {
    ToolbarImages result;
    HMODULE library = LoadLibraryExW(libraryFile.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (library == nullptr) {
        return result;
    }
    result.libraryUsable = true;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    Collector collector{library, imageSize, &result};
    for (WORD type = 1; type <= 16; ++type) {
        doEvents(context);
        EnumResourceNamesW(library, MAKEINTRESOURCEW(type), resourceName,
                           reinterpret_cast<LONG_PTR>(&collector));
    }
    FreeLibrary(library);
    SetCursor(previous);
    return result;
}

void ApplyToolbarImages(HWND toolbar, HIMAGELIST images) {
    HIMAGELIST old = reinterpret_cast<HIMAGELIST>(
        SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)));
    if (old != nullptr && old != images) {
        ImageList_Destroy(old);
    }
    const int count = images != nullptr ? ImageList_GetImageCount(images) : 0;
    const int buttons = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    // Image 0 belongs to the separator, which never shows it.
    for (int i = 1; i < std::min(count, buttons); ++i) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE | TBIF_BYINDEX;
        info.iImage = i;
        SendMessageW(toolbar, TB_SETBUTTONINFOW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&info));
    }
    InvalidateRect(toolbar, nullptr, TRUE);
}

}  // namespace hushgate::win32
