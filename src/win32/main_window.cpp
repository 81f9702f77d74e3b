#include "main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "about_dialog.h"
#include "access_keys.h"
#include "language_dialog.h"
#include "seams.h"
#include "toolbar.h"
#include "view_support.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace {

constexpr UINT kVersionAnswer = WM_APP + 1;
constexpr UINT kStartupReports = WM_APP + 2;

std::wstring folderOf(const std::string& file) {
    const std::wstring path = Widen(file);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

const char* stateName(HostsState state) {
    switch (state) {
        case HostsState::Blocked:
            return "blocked";
        case HostsState::Unblocked:
            return "unblocked";
        case HostsState::Unknown:
            return "unknown";
    }
    return "?";
}

}  // namespace

MainWindow::MainWindow(ProgramPaths paths)
    : paths_(std::move(paths)), versionRequest_(kVersionAnswer) {}

MainWindow::~MainWindow() {
    if (hostsWatch_ != INVALID_HANDLE_VALUE) {
        FindCloseChangeNotification(hostsWatch_);
    }
    about_.reset();
    language_.reset();
    destroy();
    // The toolbar does not own its image list; it outlives the toolbar.
    if (toolbarImages_ != nullptr) {
        ImageList_Destroy(toolbarImages_);
    }
}

bool MainWindow::open() {
    if (!create(nullptr,
                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN |
                    DS_NOIDLEMSG,
                WS_EX_APPWINDOW | WS_EX_CONTROLPARENT)) {
        return false;
    }
    presenter_ = std::make_unique<MainPresenter>(paths_, *this);
    if (!GetSeams().versionFile.empty()) {
        presenter_->updateCheck().settings.versionFile = GetSeams().versionFile;
    }
    presenter_->load();
    setClientTwips(layout::main_window::kClient.width, layout::main_window::kClient.height);
    centreOn(nullptr);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    SetFocus(panel_);
    startWatching();
    logTexts();
    LogShown("frmMain", hwnd());
    // Once the window is on screen, so each message has its owner.
    PostMessageW(hwnd(), kStartupReports, 0, 0);
    return true;
}

void MainWindow::onCreate() {
    SetWindowTextW(hwnd(), Widen(MainPresenter::kTitle).c_str());
    createControls();
}

void MainWindow::onDpiChanged() {
    SetWindowIcons(hwnd(), L"AAA", dpi());
    fonts_.reset(dpi());
    layout();
    menu_.attachImages(dpi());
    if (about_) {
        about_->ownerDpiChanged();
    }
}

void MainWindow::startWatching() {
    // Anyone may change the hosts file (a replace is a rename in its folder),
    // so the folder is watched and the window shows what is on disk.
    hostsWatch_ = FindFirstChangeNotificationW(
        folderOf(paths_.hostsFile).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE);
}

void MainWindow::hostsWatchSignalled() {
    if (!FindNextChangeNotification(hostsWatch_)) {
        FindCloseChangeNotification(hostsWatch_);
        hostsWatch_ = INVALID_HANDLE_VALUE;
    }
    if (presenter_ && !closing_) {
        presenter_->hostsFileChanged();
    }
}

// --- MainView ---

void MainWindow::SetIcon() {
    SetWindowIcons(hwnd(), L"AAA", dpi());
}

void MainWindow::AttachMenuImages() {
    menu_.attachImages(dpi());
    DrawMenuBar(hwnd());
    LogEvent("menu-images",
             menu_.drawnByProgram() ? L"drawn by the program" : L"drawn by the system");
}

void MainWindow::SetToolbarFlat() {
    win32::SetToolbarFlat(toolbar_, true);
}

void MainWindow::DoEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!DialogWindow::PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool MainWindow::GetIconsFromLibrary(const std::string& sLibraryFilePath) {
    ToolbarImages library = LoadToolbarImages(
        Widen(sLibraryFilePath), MulDiv(24, dpi(), 96),
        [](void* self) { static_cast<MainWindow*>(self)->DoEvents(); }, this);
    if (!library.libraryUsable) {
        return false;
    }
    for (const std::string& key : library.keys) {
        LogEvent("toolbar-image", Widen(key));
    }
    toolbarImages_ = library.images;
    ApplyToolbarImages(toolbar_, toolbarImages_);
    LayoutToolbar(toolbar_, dpi());
    return true;
}

void MainWindow::PlaceStateWord() {
    stateWordPlaced_ = true;
    fitStatusWords();
}

void MainWindow::applyTexts(const TextSteps& steps) {
    const Control toolbarButtons[] = {Control::Toolbar1Button2, Control::Toolbar1Button3,
                                      Control::Toolbar1Button4, Control::Toolbar1Button5};
    for (const TextStep& step : steps) {
        if (step.characterSet && step.control == Control::lblStatusEnd) {
            statusEndCharset_ = step.characterSet;
        }
        if (!step.text) {
            continue;
        }
        const std::wstring text = ToWide(*step.text);
        const auto button =
            std::find(std::begin(toolbarButtons), std::end(toolbarButtons), step.control);
        if (button != std::end(toolbarButtons)) {
            toolTips_[static_cast<std::size_t>(button - std::begin(toolbarButtons))] = text;
        } else if (HWND control = controlOf(step.control)) {
            SetWindowTextW(control, text.c_str());
        } else {
            menu_.setText(step.control, text);
        }
    }
    std::wstring buttonKeys;
    for (HWND button : {cmdBlockFB_, cmdUnblockFB_}) {
        wchar_t caption[256] = {};
        GetWindowTextW(button, caption, 256);
        const std::wstring_view view(caption);
        buttonKeys +=
            static_cast<wchar_t>(MarkedAccessKey(std::u16string(view.begin(), view.end())));
    }
    menu_.markAccessKeys(buttonKeys);
    DrawMenuBar(hwnd());
    layout();
}

void MainWindow::setFocusOffDisabled(bool block, bool unblock) {
    // A focused button being disabled would leave the focus nowhere, and the
    // next Tab would hand it to the other button. It goes to the panel
    // instead, where Enter means Block, and nothing while Block is disabled.
    HWND focused = GetFocus();
    if ((!block && focused == cmdBlockFB_) || (!unblock && focused == cmdUnblockFB_)) {
        SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(panel_), TRUE);
    }
}

void MainWindow::setCommandsEnabled(bool block, bool unblock) {
    setFocusOffDisabled(block, unblock);
    EnableWindow(cmdBlockFB_, block);
    EnableWindow(cmdUnblockFB_, unblock);
    // The default button stays Block, whatever the focus did meanwhile.
    SendMessageW(hwnd(), DM_SETDEFID, kCommandBlock, 0);
    LogEvent("buttons", std::wstring(L"cmdBlockFB=") + (block ? L"on" : L"off") +
                            L" cmdUnblockFB=" + (unblock ? L"on" : L"off"));
}

void MainWindow::showStatus(const StatusDisplay& status) {
    ShowWindow(imgBlocked_, status.imgBlocked ? SW_SHOW : SW_HIDE);
    ShowWindow(imgUnblocked_, status.imgUnblocked ? SW_SHOW : SW_HIDE);
    ShowWindow(imgStatusBlocked_, status.imgStatusBlocked ? SW_SHOW : SW_HIDE);
    ShowWindow(imgStatusUnblocked_, status.imgStatusUnblocked ? SW_SHOW : SW_HIDE);
    const std::wstring stateWord = ToWide(status.stateWord);
    SetWindowTextW(lblStatusEnd_, stateWord.c_str());
    // The marks draw no text: their window text is the name a screen reader
    // reads for them.
    for (HWND mark : {imgBlocked_, imgUnblocked_, imgStatusBlocked_, imgStatusUnblocked_}) {
        SetWindowTextW(mark, stateWord.c_str());
    }
    fitStatusWords();
    LogEvent(std::string("state ") + stateName(status.state), ToWide(status.stateWord));
    setStatusTip(ToWide(status.detail));
    setCommandsEnabled(status.blockEnabled, status.unblockEnabled);
}

void MainWindow::setStatusTip(const std::wstring& text) {
    // Why the state is unknown, or how much of the block is there: a tool
    // tip over the status line, so the layout stays as it is.
    if (statusTip_ == nullptr && !text.empty()) {
        statusTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    }
    if (statusTip_ != nullptr) {
        for (HWND label : {lblStatus_, lblStatusEnd_}) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = GetParent(label);
            tool.uId = reinterpret_cast<UINT_PTR>(label);
            tool.lpszText = const_cast<wchar_t*>(text.c_str());
            SendMessageW(statusTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            if (!text.empty()) {
                // A static control lets the mouse through to its parent
                // unless it notifies.
                SetWindowLongPtrW(label, GWL_STYLE,
                                  GetWindowLongPtrW(label, GWL_STYLE) | SS_NOTIFY);
                SendMessageW(statusTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            }
        }
    }
    LogEvent("status-tip", text);
}

MessageAnswer MainWindow::showMessage(const Message& message) {
    return ShowViewMessage(hwnd(), message);
}

void MainWindow::openAddress(const Text& address) {
    OpenAddress(hwnd(), L"Open", ToWide(address), ProgramFolder());
}

void MainWindow::showLanguageDialog() {
    if (!language_ || language_->hwnd() == nullptr) {
        language_ = std::make_unique<LanguageDialog>(*presenter_);
        if (!language_->open(hwnd())) {
            language_.reset();
            return;
        }
    }
    language_->showAgain();
}

void MainWindow::showAboutDialog() {
    if (!about_ || about_->hwnd() == nullptr) {
        about_ = std::make_unique<AboutDialog>(presenter_->languageFile());
        if (!about_->open(hwnd())) {
            about_.reset();
            return;
        }
    }
    about_->showAgain();
}

void MainWindow::startVersionRequest(std::uint64_t check, const std::string& url) {
    LogEvent("version-request", Widen(url));
    versionRequest_.start(hwnd(), check, Widen(url));
}

void MainWindow::closeWindow() {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void MainWindow::UnloadAllForms() {
    closing_ = true;
    versionRequest_.abandon();
    // Their windows go now; the objects stay until the main window goes, as
    // one of them may be the caller, further up this very call.
    if (language_ && language_->hwnd() != nullptr) {
        ShowWindow(language_->hwnd(), SW_HIDE);
        language_->closeDialog();
    }
    if (about_ && about_->hwnd() != nullptr) {
        ShowWindow(about_->hwnd(), SW_HIDE);
        about_->closeDialog();
    }
    ShowWindow(hwnd(), SW_HIDE);
    LogEvent("exit");
    PostQuitMessage(0);
}

// --- messages ---

void MainWindow::command(int id) {
    if (closing_) {
        return;
    }
    switch (id) {
        case kCommandBlock:
            // Enter comes here too: only while Block is enabled.
            if (presenter_->blockEnabled()) {
                presenter_->blockClicked();
            }
            return;
        case kCommandUnblock:
            if (IsWindowEnabled(cmdUnblockFB_)) {
                presenter_->unblockClicked();
            }
            return;
        case kMenuExit:
            presenter_->exitChosen();
            return;
        case kMenuCheckUpdates:
            presenter_->checkUpdatesChosen();
            return;
        case kMenuLanguage:
            presenter_->languageChosen();
            return;
        case kMenuDonate:
            presenter_->donateChosen();
            return;
        case kMenuWeb:
            presenter_->webChosen();
            return;
        case kMenuAbout:
            presenter_->aboutChosen();
            return;
        case kMenuFacebook:
            presenter_->facebookChosen();
            return;
        default:
            break;
    }
    if (const char* key = ToolbarKey(id); *key != '\0') {
        presenter_->toolbarButtonClicked(key);
    }
}

bool MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_COMMAND:
            // Enter and Esc outside the buttons reach the window as IDOK and
            // IDCANCEL: neither means anything here.
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) {
                command(LOWORD(wParam));
            }
            result = 0;
            return true;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == lblLink_ &&
                (header->code == NM_CLICK || header->code == NM_RETURN)) {
                if (!closing_) {
                    presenter_->linkClicked();
                }
                result = 0;
                return true;
            }
            if (header->code == TTN_GETDISPINFOW) {
                auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                const int command = static_cast<int>(header->idFrom);
                if (command >= kToolbarLanguage && command <= kToolbarFacebook) {
                    tip->lpszText = const_cast<wchar_t*>(
                        toolTips_[static_cast<std::size_t>(command - kToolbarLanguage)].c_str());
                }
                result = 0;
                return true;
            }
            return false;
        }
        case WM_MEASUREITEM:
            result =
                menu_.measureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
            return result != FALSE;
        case WM_DRAWITEM:
            result =
                menu_.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
            return result != FALSE;
        case WM_CLOSE:
            if (!closing_) {
                presenter_->unload();
            }
            result = 0;
            return true;
        case kVersionAnswer: {
            VersionRequest::Answer answer = VersionRequest::TakeAnswer(lParam);
            LogEvent("version-answer", answer.body ? Widen(*answer.body) : L"(failed)");
            if (!closing_) {
                presenter_->versionAnswered(answer.check, answer.body);
            }
            result = 0;
            return true;
        }
        case kStartupReports:
            presenter_->showStartupReports();
            result = 0;
            return true;
        default:
            return false;
    }
}

}  // namespace hushgate::win32
