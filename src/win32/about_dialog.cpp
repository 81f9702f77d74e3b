#include "about_dialog.h"

#include "pictures.h"
#include "seams.h"
#include "view_support.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace {

enum : int { kPanel = 100, kTitle, kVersion, kVersionNumber, kThis, kCopyright, kLink };

constexpr Control kLogged[] = {Control::frmAbout,  Control::lblTitle, Control::lblVersion,
                               Control::lblVer_JP, Control::lblThis,  Control::lblCopyright,
                               Control::lblLink,   Control::cmdClose};

}  // namespace

AboutDialog::AboutDialog(const LanguageFile& languageFile) : presenter_(*this, languageFile) {}

AboutDialog::~AboutDialog() {
    if (linkPointer_ != nullptr) {
        DestroyCursor(linkPointer_);
    }
}

bool AboutDialog::open(HWND owner) {
    owner_ = owner;
    // Fixed single border, no maximize and no minimize box.
    return create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME,
                  WS_EX_CONTROLPARENT);
}

void AboutDialog::onCreate() {
    fonts_.reset(dpi());
    linkPointer_ = CursorFromIconFile(ResourceBytes(L"PTR_LINK_HAND"), 16, 16);

    Pic1_ = CreatePanel(hwnd(), kPanel, {-1, false, -1}, false);
    LabelStyle white;
    white.background = -1;
    lblTitle_ = CreateLabel(Pic1_, kTitle, L"", white);
    lblVersion_ = CreateLabel(Pic1_, kVersion, L"Version:", white);
    lblVer_JP_ = CreateLabel(Pic1_, kVersionNumber, L"", white);
    LabelStyle black = white;
    black.colour = RGB(0, 0, 0);
    black.wrap = true;
    lblThis_ = CreateLabel(Pic1_, kThis, L"", black);
    LabelStyle right = white;
    right.alignRight = true;
    lblCopyright_ = CreateLabel(Pic1_, kCopyright, L"", right);
    LabelStyle link = right;
    link.colour = GetSysColor(COLOR_HIGHLIGHT);
    link.cursor = linkPointer_ != nullptr ? linkPointer_ : LoadCursorW(nullptr, IDC_HAND);
    lblLink_ = CreateLabel(Pic1_, kLink, L"", link);
    // Enter (the default button) and Esc both close the dialog.
    cmdClose_ = CreateButton(hwnd(), IDOK, L"&Close", true);
    SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);

    presenter_.Form_Load();
    layout();
    setClientTwips(4920, 2850);
    centreOn(owner_);
    SetFocus(cmdClose_);
}

void AboutDialog::showAgain() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetWindowIcons(hwnd(), L"ZZZ");
    if (Logging()) {
        for (Control control : kLogged) {
            LogWindowText("frmAbout", control, controlOf(control));
        }
        LogShown("frmAbout", hwnd());
    }
}

HWND AboutDialog::controlOf(Control control) const {
    switch (control) {
        case Control::frmAbout:
            return hwnd();
        case Control::lblTitle:
            return lblTitle_;
        case Control::lblVersion:
            return lblVersion_;
        case Control::lblVer_JP:
            return lblVer_JP_;
        case Control::lblThis:
            return lblThis_;
        case Control::lblCopyright:
            return lblCopyright_;
        case Control::lblLink:
            return lblLink_;
        case Control::cmdClose:
            return cmdClose_;
        default:
            return nullptr;
    }
}

HFONT AboutDialog::fontOf(Control control) {
    FontChoice choice;
    if (control == Control::lblTitle) {
        choice = {L"Arial", 975, true, false, 204};
    } else if (control == Control::lblLink) {
        choice = {L"MS Sans Serif", 825, false, true, 204};
    }
    return fonts_.get(InCharacterSetOf(choice, characterSets_, control));
}

void AboutDialog::applyTexts(const TextSteps& steps) {
    ApplyTextSteps(steps, characterSets_, [this](Control control) { return controlOf(control); });
    layout();
}

void AboutDialog::PlaceVersionNumber() {
    versionPlaced_ = true;
    layout();
}

void AboutDialog::layout() {
    if (Pic1_ == nullptr) {
        return;  // the load step's texts come before the controls are placed
    }
    for (Control control : {Control::lblTitle, Control::lblVersion, Control::lblVer_JP,
                            Control::lblThis, Control::lblCopyright, Control::lblLink}) {
        SetLabelFont(controlOf(control), fontOf(control));
    }
    SendMessageW(cmdClose_, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(Control::cmdClose)), TRUE);

    // The panel is wider than the dialog, so it fills it edge to edge; its
    // grey lower edge runs across it.
    Place(Pic1_, 0, 0, px(6135), px(2055));
    SetPanelLine(Pic1_, px(2040));
    Place(lblTitle_, px(240), px(240), px(3975), px(375));
    const SIZE version = MeasureLabel(lblVersion_);
    Place(lblVersion_, px(240), px(480), version.cx, version.cy);
    // The number follows the translated "Version:" at a gap of 40 twips.
    const int numberLeft = versionPlaced_ ? px(240) + version.cx + px(40) : px(840);
    Place(lblVer_JP_, numberLeft, px(480), px(855), px(255));
    Place(lblThis_, px(255), px(840), px(4440), px(435));
    // The copyright line and the link keep their right edges.
    const int right = px(2880 + 1845);
    const SIZE copyright = MeasureLabel(lblCopyright_);
    Place(lblCopyright_, right - copyright.cx, px(1440), copyright.cx, copyright.cy);
    const SIZE link = MeasureLabel(lblLink_);
    Place(lblLink_, right - link.cx, px(1680), link.cx, link.cy);
    Place(cmdClose_, px(3120), px(2160), px(1575), px(495));
}

void AboutDialog::onDpiChanged() {
    fonts_.reset(dpi());
    layout();
}

void AboutDialog::openAddress(const Text& address) {
    OpenAddress(hwnd(), L"Open", ToWide(address), ProgramFolder());
}

void AboutDialog::closeDialog() {
    destroy();
    LogEvent("closed frmAbout");
}

bool AboutDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_COMMAND) {
        return false;
    }
    const int id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) {
        closeDialog();
    } else if (id == kLink && HIWORD(wParam) == STN_CLICKED) {
        presenter_.lblLink_Click();
    }
    result = 0;
    return true;
}

}  // namespace hushgate::win32
