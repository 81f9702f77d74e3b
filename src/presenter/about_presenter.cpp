#include "about_presenter.h"

#include <utility>

#include "main_presenter.h"

namespace hushgate {

AboutPresenter::AboutPresenter(AboutView& view, const LanguageFile& languageFile,
                               std::string homePage)
    : view_(view), languageFile_(languageFile), homePage_(std::move(homePage)) {}

std::string AboutPresenter::VersionNumber() {
    return std::to_string(web::kOwnVersionMajor) + "." + std::to_string(web::kOwnVersionMinor);
}

void AboutPresenter::load() {
    view_.applyTexts({{Control::lblTitle, Text(MainPresenter::kTitle), std::nullopt},
                      {Control::lblVer_JP, Text(VersionNumber()), std::nullopt},
                      {Control::lblLink, Text(homePage_), std::nullopt}});
    view_.applyTexts(LanguageAbout());
    view_.PlaceVersionNumber();
}

TextSteps AboutPresenter::LanguageAbout() const {
    const std::optional<int> charset = languageFile_.charsetStep();
    const auto step = [&](Control control, const char* key) {
        return TextStep{control, languageFile_.text("About", key), charset};
    };
    return {step(Control::frmAbout, "1"), step(Control::lblVersion, "2"),
            step(Control::lblThis, "3"), step(Control::lblCopyright, "4"),
            step(Control::cmdClose, "6")};
}

void AboutPresenter::linkClicked() {
    view_.openAddress(Text(homePage_));
}

}  // namespace hushgate
