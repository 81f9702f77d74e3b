#include "about_dialog.h"

#include <utility>

#include "pictures.h"
#include "seams.h"
#include "view_support.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace about_layout = layout::about_dialog;

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

    presenter_.load();
    layout();
    setClientTwips(about_layout::kClient.width, about_layout::kClient.height);
    centreOn(owner_);
    SetFocus(cmdClose_);
}

void AboutDialog::showAgain() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetWindowIcons(hwnd(), L"ZZZ", dpi());
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
    layout::Font font = about_layout::kFont;
    if (control == Control::lblTitle) {
        font = about_layout::kTitleFont;
    } else if (control == Control::lblLink) {
        font = about_layout::kLinkFont;
    }
    return fonts_.get(InCharacterSetOf(FontOf(font), characterSets_, control));
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
    place(Pic1_, about_layout::kPanel);
    SetPanelLine(Pic1_, px(about_layout::kPanelLine.y));
    place(lblTitle_, about_layout::kTitle);
    const layout::Rect& versionTwips = about_layout::kVersion;
    const SIZE version = MeasureLabel(lblVersion_);
    Place(lblVersion_, px(versionTwips.x), px(versionTwips.y), version.cx, version.cy);
    // The number follows the translated "Version:" at the layout's gap.
    const layout::Rect& number = about_layout::kVersionNumber;
    const int numberLeft = versionPlaced_
                               ? px(versionTwips.x) + version.cx + px(about_layout::kVersionGap)
                               : px(number.x);
    Place(lblVer_JP_, numberLeft, px(number.y), px(number.width), px(number.height));
    place(lblThis_, about_layout::kThis);
    // The copyright line and the link keep their right edges.
    for (const auto& [label, twips] : {std::pair{lblCopyright_, about_layout::kCopyright},
                                       std::pair{lblLink_, about_layout::kLink}}) {
        const SIZE size = MeasureLabel(label);
        Place(label, px(twips.right()) - size.cx, px(twips.y), size.cx, size.cy);
    }
    place(cmdClose_, about_layout::kClose);
}

void AboutDialog::onDpiChanged() {
    SetWindowIcons(hwnd(), L"ZZZ", dpi());
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
        presenter_.linkClicked();
    }
    result = 0;
    return true;
}

}  // namespace hushgate::win32
