// The main window's controls, placed as the layout gives them in twips, and
// what the scenario log is told about them.

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <utility>

#include "accessible_role.h"
#include "main_window.h"
#include "pictures.h"
#include "seams.h"
#include "toolbar.h"
#include "view_support.h"
#include "web_constants.h"
#include "win32_text.h"
#include "window_layout.h"

namespace hushgate::win32 {

namespace {

enum ControlId : int {
    kToolbar = 100,
    kLink,
    kPanel,
    kLogo,
    kBlockedMark,
    kUnblockedMark,
    kPadlockClosed,
    kPadlockOpen,
    kStatus,
    kStatusEnd,
};

namespace main_layout = layout::main_window;

// The status word's character set is the language's when its texts give one.
FontChoice statusEndFont(std::optional<int> characterSet) {
    FontChoice font = FontOf(main_layout::kStatusEndFont);
    font.characterSet = characterSet.value_or(font.characterSet);
    return font;
}

}  // namespace

void MainWindow::createControls() {
    fonts_.reset(dpi());
    SetMenu(hwnd(), menu_.create());
    createToolbar();

    // The home-page address: a SysLink, so that Tab reaches it, Enter opens
    // it and screen readers know it as a link. Over the toolbar's right end,
    // which must not paint over it.
    lblLink_ = CreateWindowExW(0, WC_LINK, (L"<a>" + Widen(web::kHomePage) + L"</a>").c_str(),
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | LWS_RIGHT, 0, 0, 0, 0, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLink)),
                               GetModuleHandleW(nullptr), nullptr);
    SetWindowPos(lblLink_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    panel_ = CreatePanel(hwnd(), kPanel, {-1, true, -1}, true);
    imgLogo_ = CreatePicture(panel_, kLogo, -1);
    SetWindowTextW(imgLogo_, L"Facebook");  // its name for screen readers
    imgUnblocked_ = CreatePicture(panel_, kUnblockedMark, -1);
    imgBlocked_ = CreatePicture(panel_, kBlockedMark, -1);

    imgStatusBlocked_ = CreatePicture(hwnd(), kPadlockClosed, COLOR_3DFACE);
    imgStatusUnblocked_ = CreatePicture(hwnd(), kPadlockOpen, COLOR_3DFACE);
    lblStatus_ = CreateLabel(hwnd(), kStatus, L"Status: Facebook is", {});
    lblStatusEnd_ = CreateLabel(hwnd(), kStatusEnd, L"blocked!", {});

    // Tab order: the panel (where the focus rests), Block, Unblock.
    cmdBlockFB_ = CreateButton(hwnd(), kCommandBlock, L"&Block Facebook", true);
    cmdUnblockFB_ = CreateButton(hwnd(), kCommandUnblock, L"&Unblock Facebook", false);
    SendMessageW(hwnd(), DM_SETDEFID, kCommandBlock, 0);

    for (HWND hidden : {imgBlocked_, imgUnblocked_, imgStatusBlocked_, imgStatusUnblocked_}) {
        ShowWindow(hidden, SW_HIDE);
    }
    layout();
}

void MainWindow::createToolbar() {
    toolbar_ = CreateFlatToolbar(hwnd(), kToolbar);
}

void MainWindow::layout() {
    const HFONT dialogFont = fonts_.get(FontOf(main_layout::kFont));
    for (HWND control : {lblStatus_, cmdBlockFB_, cmdUnblockFB_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
    }
    SetLabelFont(lblStatus_, dialogFont);
    SetLabelFont(lblStatusEnd_, fonts_.get(statusEndFont(statusEndCharset_)));
    const HFONT linkFont = fonts_.get(FontOf(main_layout::kLinkFont));
    SendMessageW(lblLink_, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont), TRUE);
    SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);

    place(toolbar_, main_layout::kToolbar);
    LayoutToolbar(toolbar_, dpi());
    place(panel_, main_layout::kPanel);
    place(imgLogo_, main_layout::kLogo);
    place(imgUnblocked_, main_layout::kUnblockedMark);
    place(imgBlocked_, main_layout::kBlockedMark);
    place(imgStatusBlocked_, main_layout::kPadlock);
    place(imgStatusUnblocked_, main_layout::kPadlock);
    place(cmdUnblockFB_, main_layout::kUnblock);
    place(cmdBlockFB_, main_layout::kBlock);
    loadPictures();
    fitStatusWords();

    // The address label: right-anchored at the toolbar's right end, growing
    // to the left with a longer address. At least the layout's width: a font
    // can ink wider than it measures, and the address would lose its start.
    SIZE link{};
    HDC dc = GetDC(lblLink_);
    HGDIOBJ old = SelectObject(dc, linkFont);
    const std::wstring address = Widen(web::kHomePage);
    GetTextExtentPoint32W(dc, address.c_str(), static_cast<int>(address.size()), &link);
    SelectObject(dc, old);
    ReleaseDC(lblLink_, dc);
    // Room for the link's focus frame on either side.
    const int linkWidth =
        std::max<int>(link.cx + MulDiv(8, dpi(), 96), px(main_layout::kLink.width));
    Place(lblLink_, px(main_layout::kLinkRight) - linkWidth,
          px(main_layout::kLinkHolder.y + main_layout::kLink.y), linkWidth,
          std::max<int>(link.cy, px(main_layout::kLink.height)));
}

void MainWindow::fitStatusWords() {
    // Both labels size themselves to their texts; the state word keeps its
    // left edge, set once by PlaceStateWord.
    const SIZE status = MeasureLabel(lblStatus_);
    Place(lblStatus_, px(main_layout::kStatus.x), px(main_layout::kStatus.y), status.cx, status.cy);
    const int left = stateWordPlaced_
                         ? px(main_layout::kStatus.x) + status.cx + px(main_layout::kStatusEndGap)
                         : px(main_layout::kStatusEnd.x);
    // The state word ends the line: it keeps at least the layout's width,
    // room for a font that inks wider than it measures.
    const SIZE word = MeasureLabel(lblStatusEnd_);
    Place(lblStatusEnd_, left, px(main_layout::kStatusEnd.y),
          std::max<int>(word.cx, px(main_layout::kStatusEnd.width)), word.cy);
}

void MainWindow::loadPictures() {
    const auto picture = [this](const wchar_t* name, const wchar_t* name2x, int width,
                                const layout::Rect& twips) {
        return PictureResource(name, name2x, width, px(twips.width), px(twips.height));
    };
    SetPictureBitmap(imgLogo_, picture(L"IMG_LOGO", L"IMG_LOGO_2X", 450, main_layout::kLogo));
    SetPictureBitmap(imgBlocked_,
                     picture(L"IMG_BLOCKED", L"IMG_BLOCKED_2X", 22, main_layout::kBlockedMark));
    SetPictureBitmap(imgUnblocked_, picture(L"IMG_UNBLOCKED", L"IMG_UNBLOCKED_2X", 24,
                                            main_layout::kUnblockedMark));
    SetPictureBitmap(imgStatusBlocked_, picture(L"IMG_PADLOCK_CLOSED", L"IMG_PADLOCK_CLOSED_2X", 16,
                                                main_layout::kPadlock));
    SetPictureBitmap(imgStatusUnblocked_, picture(L"IMG_PADLOCK_OPEN", L"IMG_PADLOCK_OPEN_2X", 16,
                                                  main_layout::kPadlock));
}

HWND MainWindow::controlOf(Control control) const {
    switch (control) {
        case Control::cmdBlockFB:
            return cmdBlockFB_;
        case Control::cmdUnblockFB:
            return cmdUnblockFB_;
        case Control::lblStatus:
            return lblStatus_;
        case Control::lblStatusEnd:
            return lblStatusEnd_;
        case Control::lblLink:
            return lblLink_;
        default:
            return nullptr;
    }
}

void MainWindow::logTexts() const {
    if (!Logging()) {
        return;
    }
    for (Control control : MainMenu::Controls()) {
        LogEvent(std::string("text frmMain.") + ControlName(control), menu_.text(control));
    }
    const Control buttons[] = {Control::Toolbar1Button2, Control::Toolbar1Button3,
                               Control::Toolbar1Button4, Control::Toolbar1Button5};
    for (std::size_t i = 0; i < toolTips_.size(); ++i) {
        LogEvent(std::string("text frmMain.") + ControlName(buttons[i]), toolTips_[i]);
    }
    // Where the scenarios click: the toolbar's buttons and the two buttons,
    // centres in client coordinates.
    std::wstring places;
    for (int command = kToolbarLanguage; command <= kToolbarFacebook; ++command) {
        RECT rect{};
        SendMessageW(toolbar_, TB_GETRECT, static_cast<WPARAM>(command),
                     reinterpret_cast<LPARAM>(&rect));
        places += Widen(ToolbarKey(command)) + L"=" +
                  std::to_wstring((rect.left + rect.right) / 2) + L"," +
                  std::to_wstring((rect.top + rect.bottom) / 2) + L" ";
    }
    for (HWND control : {cmdBlockFB_, cmdUnblockFB_}) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        places += (control == cmdBlockFB_ ? L"cmdBlockFB=" : L"cmdUnblockFB=") +
                  std::to_wstring((rect.left + rect.right) / 2) + L"," +
                  std::to_wstring((rect.top + rect.bottom) / 2) + L" ";
    }
    LogEvent("places", places);
    for (Control control : {Control::lblStatus, Control::lblStatusEnd, Control::cmdBlockFB,
                            Control::cmdUnblockFB, Control::lblLink}) {
        LogEvent(std::string("text frmMain.") + ControlName(control),
                 WindowText(controlOf(control)));
    }
    // What a screen reader is told each of our labels and pictures is.
    const std::pair<const char*, HWND> readable[] = {{"lblStatus", lblStatus_},
                                                     {"lblStatusEnd", lblStatusEnd_},
                                                     {"imgLogo", imgLogo_},
                                                     {"imgBlocked", imgBlocked_},
                                                     {"imgUnblocked", imgUnblocked_},
                                                     {"imgStatusBlocked", imgStatusBlocked_},
                                                     {"imgStatusUnblocked", imgStatusUnblocked_}};
    for (const auto& [name, control] : readable) {
        const long role = AccessibleRoleOf(control);
        LogEvent(std::string("role frmMain.") + name, role == ROLE_SYSTEM_STATICTEXT ? L"text"
                                                      : role == ROLE_SYSTEM_GRAPHIC  ? L"graphic"
                                                      : role == ROLE_SYSTEM_LINK
                                                          ? L"link"
                                                          : std::to_wstring(role));
    }
}

}  // namespace hushgate::win32
