#include "language_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include "main_presenter.h"
#include "seams.h"
#include "view_support.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace language_layout = layout::language_dialog;

namespace {

enum : int { kSelect = 100, kList, kName, kEmail, kWeb };

constexpr Control kLogged[] = {
    Control::frmLanguage,       Control::lblSelect,           Control::cmdOK,
    Control::cmdCancel,         Control::lblTranslatedByName, Control::lblTranslatedByEmail,
    Control::lblTranslatedByWeb};

void addToolTip(HWND tips, HWND owner, HWND control, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

LanguageDialog::LanguageDialog(MainPresenter& main)
    : presenter_(*this, main.paths().programFolder, main.languageFile(),
                 {[&main] { return main.lblSettingsLanguage; },
                  [&main](const std::string& name) { main.lblSettingsLanguage = name; }}) {}

LanguageDialog::~LanguageDialog() {
    destroy();
}

bool LanguageDialog::open(HWND owner) {
    owner_ = owner;
    return create(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_CONTROLPARENT);
}

void LanguageDialog::onCreate() {
    fonts_.reset(dpi());
    handCursor_ = LoadCursorW(GetModuleHandleW(nullptr), L"PTR_HAND");

    lblSelect_ = CreateLabel(hwnd(), kSelect, L"Select:", {});
    // A drop-down list: pick only, no typing. Its height is that of the
    // open list; the closed box takes its height from its font.
    cboLanguage_ = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0,
        0, 0, hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kList)),
        GetModuleHandleW(nullptr), nullptr);
    lblTranslatedByName_ = CreateLabel(hwnd(), kName, L"[name]", {});
    LabelStyle email;
    email.cursor = handCursor_ != nullptr ? handCursor_ : LoadCursorW(nullptr, IDC_HAND);
    lblTranslatedByEmail_ = CreateLabel(hwnd(), kEmail, L"[e-mail]", email);
    LabelStyle web = email;
    web.colour = RGB(0, 0, 255);
    lblTranslatedByWeb_ = CreateLabel(hwnd(), kWeb, L"[Web]", web);
    // Apply is the default button (Enter); Esc reaches the dialog as Cancel.
    cmdOK_ = CreateButton(hwnd(), IDOK, L"Apply", true);
    cmdCancel_ = CreateButton(hwnd(), IDCANCEL, L"Cancel", false);
    SendMessageW(hwnd(), DM_SETDEFID, IDOK, 0);

    toolTips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    addToolTip(toolTips_, hwnd(), lblTranslatedByEmail_, L"E-mail:");
    addToolTip(toolTips_, hwnd(), lblTranslatedByWeb_, L"Web:");

    layout();
    presenter_.load();
    setClientTwips(language_layout::kClient.width, language_layout::kClient.height);
    centreOn(owner_);
    SetFocus(cboLanguage_);
}

void LanguageDialog::showAgain() {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    SetWindowIcons(hwnd(), L"FFF", dpi());
    logTexts("texts frmLanguage");
    LogShown("frmLanguage", hwnd());
}

void LanguageDialog::logTexts(const char* event) const {
    if (!Logging()) {
        return;
    }
    LogEvent("text frmLanguage.cboLanguage", WindowText(cboLanguage_));
    for (Control control : kLogged) {
        LogWindowText("frmLanguage", control, controlOf(control));
    }
    LogEvent(event, WindowText(cboLanguage_));
}

HWND LanguageDialog::controlOf(Control control) const {
    switch (control) {
        case Control::frmLanguage:
            return hwnd();
        case Control::lblSelect:
            return lblSelect_;
        case Control::cmdOK:
            return cmdOK_;
        case Control::cmdCancel:
            return cmdCancel_;
        case Control::lblTranslatedByName:
            return lblTranslatedByName_;
        case Control::lblTranslatedByEmail:
            return lblTranslatedByEmail_;
        case Control::lblTranslatedByWeb:
            return lblTranslatedByWeb_;
        default:
            return nullptr;
    }
}

HFONT LanguageDialog::fontOf(Control control) {
    layout::Font font = language_layout::kFont;
    if (control == Control::lblTranslatedByName) {
        font = language_layout::kTranslatorNameFont;
    } else if (control == Control::lblTranslatedByWeb) {
        font = language_layout::kTranslatorWebFont;
    }
    return fonts_.get(InCharacterSetOf(FontOf(font), characterSets_, control));
}

void LanguageDialog::applyTexts(const TextSteps& steps) {
    ApplyTextSteps(steps, characterSets_, [this](Control control) { return controlOf(control); });
    layout();
}

void LanguageDialog::layout() {
    for (Control control : {Control::lblSelect, Control::lblTranslatedByName,
                            Control::lblTranslatedByEmail, Control::lblTranslatedByWeb}) {
        SetLabelFont(controlOf(control), fontOf(control));
    }
    for (Control control : {Control::cmdOK, Control::cmdCancel}) {
        SendMessageW(controlOf(control), WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control)),
                     TRUE);
    }
    SendMessageW(cboLanguage_, WM_SETFONT,
                 reinterpret_cast<WPARAM>(fonts_.get(FontOf(language_layout::kFont))), TRUE);

    // The labels size themselves to their texts and grow to the right.
    const struct {
        HWND label;
        const layout::Rect& twips;
    } labels[] = {{lblSelect_, language_layout::kSelect},
                  {lblTranslatedByName_, language_layout::kTranslatorName},
                  {lblTranslatedByEmail_, language_layout::kTranslatorEmail},
                  {lblTranslatedByWeb_, language_layout::kTranslatorWeb}};
    for (const auto& [label, twips] : labels) {
        const SIZE size = MeasureLabel(label);
        Place(label, px(twips.x), px(twips.y), size.cx, size.cy);
    }
    // A drop-down list's height is that of the box with its list open: the
    // box's height eight times over.
    const layout::Rect& list = language_layout::kList;
    Place(cboLanguage_, px(list.x), px(list.y), px(list.width), px(list.height) * 8);
    place(cmdOK_, language_layout::kApply);
    place(cmdCancel_, language_layout::kCancel);
}

void LanguageDialog::onDpiChanged() {
    SetWindowIcons(hwnd(), L"FFF", dpi());
    fonts_.reset(dpi());
    layout();
}

void LanguageDialog::setLanguageList(const std::vector<std::string>& names) {
    SendMessageW(cboLanguage_, CB_RESETCONTENT, 0, 0);
    for (const std::string& name : names) {
        SendMessageW(cboLanguage_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(name).c_str()));
    }
    SendMessageW(cboLanguage_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

void LanguageDialog::selectLanguage(int index) {
    SendMessageW(cboLanguage_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void LanguageDialog::setApplyEnabled(bool enabled) {
    if (!enabled && GetFocus() == cmdOK_) {
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cboLanguage_), TRUE);
    }
    EnableWindow(cmdOK_, enabled);
}

MessageAnswer LanguageDialog::showMessage(const Message& message) {
    return ShowViewMessage(hwnd(), message);
}

void LanguageDialog::openAddress(const Text& address) {
    // The working folder is the current directory's drive root.
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring root(current);
    root.resize(std::min<std::size_t>(root.size(), 3));
    OpenAddress(hwnd(), L"", ToWide(address), root);
}

void LanguageDialog::closeDialog() {
    destroy();
    LogEvent("closed frmLanguage");
}

bool LanguageDialog::handle(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    if (message != WM_COMMAND) {
        return false;
    }
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDOK) {
        presenter_.applyClicked();
    } else if (id == IDCANCEL) {
        presenter_.cancelClicked();
    } else if (id == kList && code == CBN_SELCHANGE) {
        presenter_.languageSelected(
            static_cast<int>(SendMessageW(cboLanguage_, CB_GETCURSEL, 0, 0)));
        logTexts("preview");
    } else if (id == kEmail && code == STN_CLICKED) {
        presenter_.translatorEmailClicked();
    } else if (id == kWeb && code == STN_CLICKED) {
        presenter_.translatorWebClicked();
    }
    result = 0;
    return true;
}

}  // namespace hushgate::win32
