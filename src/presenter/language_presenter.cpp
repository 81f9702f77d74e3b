#include "language_presenter.h"

#include <algorithm>
#include <utility>

namespace hushgate {

namespace {

bool sameFileName(const std::string& a, const std::string& b) {
#ifdef _WIN32
    // File names ignore case here.
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
#else
    return a == b;
#endif
}

}  // namespace

LanguagePresenter::LanguagePresenter(LanguageView& view, std::string programFolder,
                                     const LanguageFile& languageFile,
                                     LanguageInForce languageInForce)
    : view_(view),
      programFolder_(std::move(programFolder)),
      inForceFile_(languageFile),
      languageInForce_(std::move(languageInForce)) {}

LanguagePresenter::~LanguagePresenter() {
    *alive_ = false;
}

void LanguagePresenter::load() {
    // The texts of the language in force first; the preview of its entry then
    // gives the same texts, with their charset steps. Where it has no entry,
    // these texts stay.
    show(LanguageSysTrayAndLanguage(inForceFile_));
    FillLanguageList();
}

TextSteps LanguagePresenter::LanguageSysTrayAndLanguage(const LanguageFile& file,
                                                        bool charsetSteps) {
    const std::optional<int> charset = charsetSteps ? file.charsetStep() : std::nullopt;
    const auto step = [&](Control control, const char* section, const char* key, bool stepped) {
        return TextStep{control, file.text(section, key), stepped ? charset : std::nullopt};
    };
    // The translator's addresses keep the layout's font.
    return {step(Control::frmLanguage, "Tray", "3", true),
            step(Control::lblSelect, "Tray", "4", true),
            step(Control::cmdOK, "Tray", "5", true),
            step(Control::cmdCancel, "Tray", "6", true),
            step(Control::lblTranslatedByName, "LANGUAGE", "translator", true),
            step(Control::lblTranslatedByEmail, "LANGUAGE", "e-mail", false),
            step(Control::lblTranslatedByWeb, "LANGUAGE", "web", false)};
}

void LanguagePresenter::show(const TextSteps& steps) {
    email_ = *steps[5].text;
    web_ = *steps[6].text;
    view_.applyTexts(steps);
}

void LanguagePresenter::FillLanguageList() {
    names_ = LanguageNames(programFolder_);
    view_.setLanguageList(names_);
    selected_ = -1;
    selectedFile_ = LanguageFile();
    view_.setApplyEnabled(false);
    const std::string inForce = languageInForce_.get ? languageInForce_.get() : std::string();
    const auto found = std::find_if(names_.begin(), names_.end(), [&](const std::string& name) {
        return sameFileName(name, inForce);
    });
    const int index = found == names_.end() ? -1 : static_cast<int>(found - names_.begin());
    view_.selectLanguage(index);
    if (index >= 0) {
        languageSelected(index);
    }
}

void LanguagePresenter::languageSelected(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) {
        return;
    }
    selected_ = index;
    selectedFile_ = LanguageFile::inProgramFolder(programFolder_, names_[index]);
    view_.setApplyEnabled(true);
    show(LanguageSysTrayAndLanguage(selectedFile_, true));
}

void LanguagePresenter::applyClicked() {
    if (selected_ < 0) {
        return;  // nothing chosen yet
    }
    const std::shared_ptr<bool> alive = alive_;
    view_.showMessage(
        {MessageIcon::Warning, selectedFile_.text("Tray", "8"), selectedFile_.text("Tray", "7")});
    if (!*alive) {
        return;  // the program closed its windows while the message was up
    }
    if (languageInForce_.set) {
        languageInForce_.set(names_[selected_]);
    }
    view_.closeDialog();
}

void LanguagePresenter::cancelClicked() {
    view_.closeDialog();
}

void LanguagePresenter::translatorEmailClicked() {
    if (!email_.empty()) {
        view_.openAddress("mailto:" + email_);
    }
}

void LanguagePresenter::translatorWebClicked() {
    if (!web_.empty()) {
        view_.openAddress(web_);
    }
}

}  // namespace hushgate
