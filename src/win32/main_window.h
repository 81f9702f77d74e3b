#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "controls.h"
#include "dialog_window.h"
#include "main_menu.h"
#include "main_presenter.h"
#include "version_request.h"

namespace hushgate::win32 {

class AboutDialog;
class LanguageDialog;

// Command identifiers of the two buttons (not IDOK: Enter goes to whichever
// button is the default at the moment, through the dialog manager).
enum : int { kCommandBlock = 110, kCommandUnblock = 111 };

// The main window (section frmMain of the language files): the logo panel
// with the blocked or unblocked mark, the status line, the Block and Unblock
// buttons, the menus and the flat toolbar. A thin view: MainPresenter
// decides what it shows and does.
class MainWindow final : public DialogWindow, public MainView {
public:
    explicit MainWindow(ProgramPaths paths);
    ~MainWindow() override;

    // Makes the window, runs the load step, centres and shows it, then shows
    // what went wrong while loading. False when the window cannot be made.
    bool open();

    // The hosts file's folder changes: a handle the message loop waits on.
    HANDLE hostsWatch() const { return hostsWatch_; }
    void hostsWatchSignalled();

    // MainView
    void SetIcon() override;
    void AttachMenuImages() override;
    void SetToolbarFlat() override;
    void DoEvents() override;
    bool GetIconsFromLibrary(const std::string& sLibraryFilePath) override;
    void PlaceStateWord() override;
    void applyTexts(const TextSteps& steps) override;
    void showStatus(const StatusDisplay& status) override;
    void setCommandsEnabled(bool block, bool unblock) override;
    MessageAnswer showMessage(const Message& message) override;
    void openAddress(const Text& address) override;
    void showLanguageDialog() override;
    void showAboutDialog() override;
    void startVersionRequest(std::uint64_t check, const std::string& url) override;
    void closeWindow() override;
    void UnloadAllForms() override;

private:
    void onCreate() override;
    void onDpiChanged() override;
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // main_window_layout.cpp: the controls, placed from the layout in twips.
    void createControls();
    void createToolbar();
    void layout();
    void loadPictures();
    void fitStatusWords();
    void setStatusTip(const std::wstring& text);
    void logTexts() const;

    void command(int id);
    HWND controlOf(Control control) const;
    void setFocusOffDisabled(bool block, bool unblock);
    void startWatching();

    ProgramPaths paths_;
    std::unique_ptr<MainPresenter> presenter_;
    std::unique_ptr<AboutDialog> about_;
    std::unique_ptr<LanguageDialog> language_;
    FontSet fonts_;
    MainMenu menu_;
    VersionRequest versionRequest_;

    HWND toolbar_ = nullptr;
    HIMAGELIST toolbarImages_ = nullptr;
    std::array<std::wstring, 4> toolTips_;
    HWND lblLink_ = nullptr;
    HWND panel_ = nullptr;  // PicBackground, where the focus rests
    HWND imgLogo_ = nullptr;
    HWND imgBlocked_ = nullptr;
    HWND imgUnblocked_ = nullptr;
    HWND imgStatusBlocked_ = nullptr;
    HWND imgStatusUnblocked_ = nullptr;
    HWND lblStatus_ = nullptr;
    HWND lblStatusEnd_ = nullptr;
    HWND statusTip_ = nullptr;  // the status line's tool tip, made when first needed
    HWND cmdBlockFB_ = nullptr;
    HWND cmdUnblockFB_ = nullptr;
    std::optional<int> statusEndCharset_;
    bool stateWordPlaced_ = false;
    bool closing_ = false;
    HANDLE hostsWatch_ = INVALID_HANDLE_VALUE;
};

}  // namespace hushgate::win32
