// The main window's controls, placed as the layout gives them in twips, and
// what the scenario log is told about them.

#include "main_window.h"
#include "pictures.h"
#include "seams.h"
#include "toolbar.h"
#include "web_constants.h"
#include "win32_text.h"

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

const FontChoice kDialogFont{};
// The layout's own fonts carry character set 204; the status word's is
// replaced by the language's (its charset step).
const FontChoice kLinkFont{L"MS Sans Serif", 825, false, true, 204};

FontChoice statusEndFont(std::optional<int> characterSet) {
    return {L"MS Sans Serif", 825, true, false, characterSet.value_or(204)};
}

}  // namespace

void MainWindow::createControls() {
    fonts_.reset(dpi());
    SetMenu(hwnd(), menu_.create());
    createToolbar();

    linkPointer_ = CursorFromIconFile(ResourceBytes(L"PTR_LINK_HAND"), 16, 16);
    LabelStyle link;
    link.colour = GetSysColor(COLOR_HIGHLIGHT);
    link.alignRight = true;
    link.cursor = linkPointer_ != nullptr ? linkPointer_ : LoadCursorW(nullptr, IDC_HAND);
    lblLink_ = CreateLabel(hwnd(), kLink, Widen(web::kHomePage), link);
    // Over the toolbar's right end, which must not paint over it.
    SetWindowPos(lblLink_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    panel_ = CreatePanel(hwnd(), kPanel, {-1, true, -1}, true);
    imgLogo_ = CreatePicture(panel_, kLogo, -1);
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
    const HFONT dialogFont = fonts_.get(kDialogFont);
    for (HWND control : {lblStatus_, cmdBlockFB_, cmdUnblockFB_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
    }
    SetLabelFont(lblStatus_, dialogFont);
    SetLabelFont(lblStatusEnd_, fonts_.get(statusEndFont(statusEndCharset_)));
    SetLabelFont(lblLink_, fonts_.get(kLinkFont));
    SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);

    Place(toolbar_, 0, 0, px(8880), px(420));
    LayoutToolbar(toolbar_, dpi());
    Place(panel_, px(40), px(460), px(8775), px(3135));
    Place(imgLogo_, px(960), px(600), px(6750), px(1950));
    Place(imgUnblocked_, px(7320), px(1800), px(360), px(360));
    Place(imgBlocked_, px(7320), px(1800), px(330), px(330));
    Place(imgStatusBlocked_, px(120), px(3900), px(240), px(240));
    Place(imgStatusUnblocked_, px(120), px(3900), px(240), px(240));
    Place(cmdUnblockFB_, px(6795), px(3720), px(1935), px(495));
    Place(cmdBlockFB_, px(4560), px(3720), px(2055), px(495));
    loadPictures();
    fitStatusWords();

    // The address label: right-aligned at the toolbar's right end (the
    // holder PicWeb at 6360 twips, the label 480 twips into it), growing to
    // the left with a longer address.
    const SIZE link = MeasureLabel(lblLink_);
    const int right = px(6360 + 480 + 1845);
    Place(lblLink_, right - link.cx, px(120), link.cx, link.cy);
}

void MainWindow::fitStatusWords() {
    // Both labels size themselves to their texts; the state word keeps its
    // left edge, set once by PlaceStateWord.
    const SIZE status = MeasureLabel(lblStatus_);
    Place(lblStatus_, px(480), px(3945), status.cx, status.cy);
    const int left = stateWordPlaced_ ? px(480) + status.cx + px(70) : px(2000);
    const SIZE word = MeasureLabel(lblStatusEnd_);
    Place(lblStatusEnd_, left, px(3945), word.cx, word.cy);
}

void MainWindow::loadPictures() {
    SetPictureBitmap(imgLogo_,
                     PictureResource(L"IMG_LOGO", L"IMG_LOGO_2X", 450, px(6750), px(1950)));
    SetPictureBitmap(imgBlocked_,
                     PictureResource(L"IMG_BLOCKED", L"IMG_BLOCKED_2X", 22, px(330), px(330)));
    SetPictureBitmap(imgUnblocked_,
                     PictureResource(L"IMG_UNBLOCKED", L"IMG_UNBLOCKED_2X", 24, px(360), px(360)));
    SetPictureBitmap(
        imgStatusBlocked_,
        PictureResource(L"IMG_PADLOCK_CLOSED", L"IMG_PADLOCK_CLOSED_2X", 16, px(240), px(240)));
    SetPictureBitmap(
        imgStatusUnblocked_,
        PictureResource(L"IMG_PADLOCK_OPEN", L"IMG_PADLOCK_OPEN_2X", 16, px(240), px(240)));
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
}

}  // namespace hushgate::win32
