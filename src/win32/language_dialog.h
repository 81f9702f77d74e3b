#pragma once

#include <map>

#include "controls.h"
#include "dialog_window.h"
#include "language_presenter.h"

namespace hushgate {
class MainPresenter;
}

namespace hushgate::win32 {

// frmLanguage: the installed languages in a drop-down list, the chosen one
// previewed on the dialog's own controls, the translator's name and links,
// Apply (the default button) and Cancel. Modeless, owned by the main
// window; Esc is Cancel.
class LanguageDialog final : public DialogWindow, public LanguageView {
public:
    explicit LanguageDialog(MainPresenter& main);
    ~LanguageDialog() override;

    bool open(HWND owner);
    // Shows it (again), in front, with its icon "FFF".
    void showAgain();

    // LanguageView
    void applyTexts(const TextSteps& steps) override;
    void setLanguageList(const std::vector<std::string>& names) override;
    void selectLanguage(int index) override;
    void setApplyEnabled(bool enabled) override;
    MessageAnswer showMessage(const Message& message) override;
    void openAddress(const Text& address) override;
    void closeDialog() override;

private:
    void onCreate() override;
    void onDpiChanged() override;
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void layout();
    void logTexts(const char* event) const;
    HWND controlOf(Control control) const;
    HFONT fontOf(Control control);

    LanguagePresenter presenter_;
    HWND owner_ = nullptr;
    FontSet fonts_;
    HCURSOR handCursor_ = nullptr;
    HWND toolTips_ = nullptr;
    std::map<Control, int> characterSets_;
    HWND lblSelect_ = nullptr;
    HWND cboLanguage_ = nullptr;
    HWND lblTranslatedByName_ = nullptr;
    HWND lblTranslatedByEmail_ = nullptr;
    HWND lblTranslatedByWeb_ = nullptr;
    HWND cmdOK_ = nullptr;
    HWND cmdCancel_ = nullptr;
};

}  // namespace hushgate::win32
