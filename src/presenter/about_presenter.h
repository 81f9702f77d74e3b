#pragma once

#include <string>

#include "language_file.h"
#include "view_types.h"
#include "web_constants.h"

namespace hushgate {

class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void applyTexts(const TextSteps& steps) = 0;
    // lblVer_JP right after the translated "Version:", 40 twips after its end.
    virtual void PlaceVersionNumber() = 0;
    virtual void openAddress(const Text& address) = 0;
};

// The About dialog: the program's title and version, a line on free use, the
// copyright line and the link to our home page, in the language that was in
// force when the program started. Made afresh with each opening.
class AboutPresenter {
public:
    // `languageFile`: the main window's language in force.
    AboutPresenter(AboutView& view, const LanguageFile& languageFile,
                   std::string homePage = web::kHomePage);

    // The dialog's load step: its fixed texts, LanguageAbout, the version
    // number placed after its word.
    void load();
    // Title, lblVersion, lblThis, lblCopyright and cmdClose from the
    // language file, each with its charset step.
    TextSteps LanguageAbout() const;
    void linkClicked();

    // "1.1": the program's version, never translated.
    static std::string VersionNumber();

private:
    AboutView& view_;
    LanguageFile languageFile_;
    std::string homePage_;
};

}  // namespace hushgate
