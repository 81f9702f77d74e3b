#include "dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "access_keys.h"
#include "controls.h"

namespace hushgate::win32 {

namespace {

// Windows 10 and later answer per window and per monitor; older systems (and
// Wine) have one DPI for the whole screen.
template <typename Function>
Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The smallest template there is: no menu, the standard class, no title, no
// font, no controls.
std::vector<std::uint16_t> emptyTemplate(DWORD style, DWORD exStyle) {
    DLGTEMPLATE head{};
    head.style = style;
    head.dwExtendedStyle = exStyle;
    std::vector<std::uint16_t> words(sizeof head / 2 + 3, 0);
    std::memcpy(words.data(), &head, sizeof head);
    return words;
}

}  // namespace

int WindowDpi(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && hwnd != nullptr) {
        if (const UINT dpi = getDpiForWindow(hwnd); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

DialogWindow::~DialogWindow() {
    destroy();
}

void DialogWindow::destroy() {
    if (hwnd_ != nullptr) {
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
}

bool DialogWindow::create(HWND owner, DWORD style, DWORD exStyle) {
    const std::vector<std::uint16_t> words = emptyTemplate(style, exStyle);
    hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                       reinterpret_cast<const DLGTEMPLATE*>(words.data()), owner,
                                       &DialogWindow::procedure, reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

void DialogWindow::setClientTwips(int width, int height) {
    clientWidthTwips_ = width;
    clientHeightTwips_ = height;
    RECT frame{0, 0, px(width), px(height)};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    const BOOL hasMenu = GetMenu(hwnd_) != nullptr;
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu, exStyle, static_cast<UINT>(dpi_));
    } else {
        AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps onto a second line takes client height: give it back.
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (const int missing = px(height) - client.bottom; missing > 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + missing,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void DialogWindow::centreOn(HWND over) {
    RECT area{};
    if (over != nullptr) {
        GetWindowRect(over, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT window{};
    GetWindowRect(hwnd_, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // Whole on the screen, even when the owner is near an edge.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor);
    left = std::max<int>(monitor.rcWork.left, std::min<int>(left, monitor.rcWork.right - width));
    top = std::max<int>(monitor.rcWork.top, std::min<int>(top, monitor.rcWork.bottom - height));
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool DialogWindow::PreTranslate(MSG& message) {
    if (message.hwnd == nullptr) {
        return false;
    }
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || GetWindowLongPtrW(root, DWLP_USER) == 0 ||
        GetWindowLongPtrW(root, DWLP_DLGPROC) !=
            reinterpret_cast<LONG_PTR>(&DialogWindow::procedure)) {
        return false;
    }
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F10 &&
        GetKeyState(VK_SHIFT) >= 0 && openFirstMenu(root)) {
        return true;
    }
    if (message.message == WM_KEYDOWN && toolbarKey(message.hwnd, message.wParam)) {
        return true;
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

bool DialogWindow::toolbarKey(HWND toolbar, WPARAM key) {
    // A toolbar reached with Tab: the arrows move along its buttons, and
    // Enter or Space press the one marked. The dialog manager would hand
    // Enter to the default button instead.
    wchar_t name[32] = {};
    GetClassNameW(toolbar, name, 32);
    if (std::wcscmp(name, TOOLBARCLASSNAMEW) != 0 ||
        (key != VK_LEFT && key != VK_RIGHT && key != VK_RETURN && key != VK_SPACE)) {
        return false;
    }
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    const auto button = [toolbar](int index) {
        TBBUTTON info{};
        SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&info));
        return info;
    };
    int hot = static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0));
    const int step = key == VK_LEFT ? -1 : 1;
    if (hot < 0 || key == VK_LEFT || key == VK_RIGHT) {
        // The next button (the first one when none is marked), past separators.
        int next = hot < 0 ? (step > 0 ? -1 : count) : hot;
        do {
            next += step;
        } while (next >= 0 && next < count && (button(next).fsStyle & BTNS_SEP) != 0);
        if (next >= 0 && next < count) {
            hot = next;
            SendMessageW(toolbar, TB_SETHOTITEM, static_cast<WPARAM>(hot), 0);
        }
    }
    if ((key == VK_RETURN || key == VK_SPACE) && hot >= 0) {
        const int command = button(hot).idCommand;
        SendMessageW(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
    }
    return true;
}

bool DialogWindow::openFirstMenu(HWND root) {
    // The system's F10 only highlights the first title, and Return then
    // opens the menu; the title's access key opens it with its first item
    // highlighted, so that Return runs that item, as in other programs.
    HMENU bar = GetMenu(root);
    wchar_t title[256] = {};
    if (bar == nullptr || GetMenuStringW(bar, 0, title, 256, MF_BYPOSITION) <= 0) {
        return false;
    }
    const std::wstring_view view(title);
    const char16_t key = MarkedAccessKey(std::u16string(view.begin(), view.end()));
    if (key == 0) {
        return false;
    }
    SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, key);
    return true;
}

INT_PTR CALLBACK DialogWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->hwnd_ = hwnd;
        self->dpi_ = WindowDpi(hwnd);
        self->onCreate();
        return FALSE;  // the window places the focus itself
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    if (message == WM_DPICHANGED) {
        self->dpi_ = HIWORD(wParam);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        self->onDpiChanged();
        if (self->clientWidthTwips_ > 0) {
            self->setClientTwips(self->clientWidthTwips_, self->clientHeightTwips_);
        }
        return TRUE;
    }
    INT_PTR result = 0;
    if (self->handle(message, wParam, lParam, result)) {
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    return FALSE;
}

void DialogWindow::place(HWND control, const layout::Rect& twips) const {
    Place(control, px(twips.x), px(twips.y), px(twips.width), px(twips.height));
}

}  // namespace hushgate::win32
