#include "toolbar.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "icon_file.h"

namespace hushgate::win32 {

namespace {

constexpr int kImageSize = 24;  // the toolbar's pictures at 96 DPI
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

// What the enumeration finds, copied out of the library before it is freed:
// the numbered icon images and the image numbers of each icon group.
struct Collector {
    HMODULE library;
    std::vector<std::pair<WORD, std::vector<BYTE>>> images;
    std::vector<std::vector<std::uint16_t>> groups;
};

// A private copy: the pictures are made once the library is freed.
std::vector<BYTE> resourceBytes(HMODULE library, LPCWSTR name, LPCWSTR type) {
    HRSRC found = FindResourceW(library, name, type);
    HGLOBAL loaded = found != nullptr ? LoadResource(library, found) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded != nullptr ? LockResource(loaded) : nullptr);
    const DWORD size = found != nullptr ? SizeofResource(library, found) : 0;
    return data != nullptr ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>();
}

BOOL CALLBACK resourceName(HMODULE, LPCWSTR type, LPWSTR name, LONG_PTR value) {
    auto& collector = *reinterpret_cast<Collector*>(value);
    // Only numbered icon images count; named resources are passed over.
    if (IS_INTRESOURCE(name) && type == RT_ICON) {
        std::vector<BYTE> bytes = resourceBytes(collector.library, name, type);
        if (!bytes.empty()) {  // an empty image is passed over
            collector.images.emplace_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)),
                                          std::move(bytes));
        }
    } else if (type == RT_GROUP_ICON) {
        // Groups by any name: they only tell which images are one icon.
        collector.groups.push_back(
            ReadIconGroupMembers(resourceBytes(collector.library, name, type)));
    }
    return TRUE;
}

// The side of the frame nearest `wanted` (NearerSide), or 0.
int nearestSide(const std::vector<int>& sides, int wanted) {
    int best = 0;
    for (const int side : sides) {
        if (side > 0 && (best == 0 || NearerSide(side, best, wanted))) {
            best = side;
        }
    }
    return best;
}

void addIcon(ToolbarImages& result, WORD number, std::vector<BYTE>& bytes, int listSide) {
    const auto size = static_cast<DWORD>(bytes.size());
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
    if (result.images == nullptr) {
        result.images = ImageList_Create(listSide, listSide, ILC_COLOR32 | ILC_MASK, 5, 5);
    }
    ImageList_ReplaceIcon(result.images, -1, icon);
    DestroyIcon(icon);
    result.keys.push_back("#" + std::to_string(number) + " " + std::to_string(size) + " " +
                          std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight));
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
    const int side = MulDiv(kToolbarHeight, dpi, 96);
    int image = MulDiv(kImageSize, dpi, 96);
    // Pictures from the icon library keep their frames' own size.
    int width = 0;
    int height = 0;
    if (auto* list = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
        list != nullptr && ImageList_GetIconSize(list, &width, &height)) {
        image = std::min(width, side);
    }
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
    Collector collector{library, {}, {}};
    for (WORD type = 1; type <= 16; ++type) {
        doEvents(context);
        EnumResourceNamesW(library, MAKEINTRESOURCEW(type), resourceName,
                           reinterpret_cast<LONG_PTR>(&collector));
    }
    FreeLibrary(library);

    // One frame per icon, the one drawn nearest this DPI's size; the list
    // takes the size of the frames picked, so none is stretched to another.
    std::vector<LibraryImage> images;
    for (const auto& [number, bytes] : collector.images) {
        const auto info = DescribeIconImage(bytes);
        images.push_back({number, info ? info->width : 0});
    }
    const std::vector<PickedIcon> picked = PickIconFrames(images, collector.groups, imageSize);
    std::vector<int> sides;
    for (const PickedIcon& icon : picked) {
        sides.push_back(images[icon.image].side);
    }
    const int listSide = nearestSide(sides, imageSize);
    for (const PickedIcon& icon : picked) {
        auto& [number, bytes] = collector.images[icon.image];
        addIcon(result, number, bytes, listSide > 0 ? listSide : imageSize);
    }
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
