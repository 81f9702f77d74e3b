#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "language_file.h"
#include "view_types.h"

namespace hushgate {

class LanguageView {
public:
    virtual ~LanguageView() = default;
    virtual void applyTexts(const TextSteps& steps) = 0;
    // Fills cboLanguage with `names` (file names, in the encoding of file
    // names), nothing selected.
    virtual void setLanguageList(const std::vector<std::string>& names) = 0;
    // Selects entry `index` (-1: none) without reporting it back: the
    // presenter previews the selection itself.
    virtual void selectLanguage(int index) = 0;
    virtual void setApplyEnabled(bool enabled) = 0;
    virtual MessageAnswer showMessage(const Message& message) = 0;
    virtual void openAddress(const Text& address) = 0;
    // Unloads the dialog.
    virtual void closeDialog() = 0;
};

// The language dialog: lists the language files of the program's Language
// folder, previews the chosen language on its own controls, names the
// translator and records the choice on "Apply". The choice takes effect at
// the next start. Made afresh with each opening.
class LanguagePresenter {
public:
    // The language in force: the main window's lblSettingsLanguage.
    struct LanguageInForce {
        std::function<std::string()> get;
        std::function<void(const std::string&)> set;  // called by "Apply"
    };

    // `languageFile`: the main window's language in force.
    LanguagePresenter(LanguageView& view, std::string programFolder,
                      const LanguageFile& languageFile, LanguageInForce languageInForce);
    ~LanguagePresenter();
    LanguagePresenter(const LanguagePresenter&) = delete;
    LanguagePresenter& operator=(const LanguagePresenter&) = delete;

    // The dialog's load step: the texts of the language in force, then the
    // list, whose selection of the language in force previews it.
    void load();

    // Title, lblSelect, both buttons and the translator labels from `file`;
    // with `charsetSteps`, the steps of the preview as well.
    static TextSteps LanguageSysTrayAndLanguage(const LanguageFile& file,
                                                bool charsetSteps = false);

    // Fills the list and selects the language in force, which previews it;
    // when it has no file there, nothing is selected and "Apply" stays off.
    void FillLanguageList();

    const std::vector<std::string>& languageNames() const { return names_; }
    int selectedIndex() const { return selected_; }
    // The file of the entry selected ("" when none is).
    const std::string& SelectedLanguageFilePath() const { return selectedFile_.path(); }

    void languageSelected(int index);  // the user's selection: the preview
    void applyClicked();               // "Apply"
    void cancelClicked();
    void translatorEmailClicked();
    void translatorWebClicked();

private:
    void show(const TextSteps& steps);

    LanguageView& view_;
    std::string programFolder_;
    LanguageFile inForceFile_;
    LanguageInForce languageInForce_;
    std::vector<std::string> names_;
    int selected_ = -1;
    LanguageFile selectedFile_;
    Text email_;  // what the two link labels show
    Text web_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace hushgate
