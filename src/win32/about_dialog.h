#pragma once

#include <map>
#include <optional>

#include "about_presenter.h"
#include "controls.h"
#include "dialog_window.h"

namespace hushgate::win32 {

// frmAbout: the program's title and version, a line on free use, the
// copyright line and the link to our home page, over a white panel, and
// Close. Modeless, owned by the main window; Esc and Enter close it.
class AboutDialog final : public DialogWindow, public AboutView {
public:
    explicit AboutDialog(const LanguageFile& languageFile);
    ~AboutDialog() override;

    bool open(HWND owner);
    // Shows it (again), in front, with its icon "ZZZ".
    void showAgain();
    void ownerDpiChanged() { onDpiChanged(); }
    // Unloads the dialog.
    void closeDialog();

    // AboutView
    void applyTexts(const TextSteps& steps) override;
    void PlaceVersionNumber() override;
    void openAddress(const Text& address) override;

private:
    void onCreate() override;
    void onDpiChanged() override;
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void layout();
    HWND controlOf(Control control) const;
    HFONT fontOf(Control control);

    AboutPresenter presenter_;
    HWND owner_ = nullptr;
    FontSet fonts_;
    HCURSOR linkPointer_ = nullptr;
    std::map<Control, int> characterSets_;
    bool versionPlaced_ = false;
    HWND Pic1_ = nullptr;
    HWND lblTitle_ = nullptr;
    HWND lblVersion_ = nullptr;
    HWND lblVer_JP_ = nullptr;
    HWND lblThis_ = nullptr;
    HWND lblCopyright_ = nullptr;
    HWND lblLink_ = nullptr;
    HWND cmdClose_ = nullptr;
};

}  // namespace hushgate::win32
