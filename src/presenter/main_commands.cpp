// The main window's texts and the commands of its menus, toolbar and link.

#include "main_presenter.h"
#include "toolbar_command.h"
#include "web_constants.h"

namespace hushgate {

void MainPresenter::LanguageMain() {
    const LanguageFile& file = languageFile_;
    const auto caption = [&file](Control control, const char* section, const char* key) {
        return TextStep{control, file.text(section, key), std::nullopt};
    };
    using C = Control;
    view_.applyTexts({
        caption(C::mnuFile, "Main", "1"),
        caption(C::mnuExit, "Main", "2"),
        caption(C::mnuHelp, "Main", "3"),
        caption(C::mnuCheckUpdates, "Main", "4"),
        caption(C::mnuLanguage, "Main", "5"),
        caption(C::mnuDonate, "Main", "6"),
        caption(C::mnuWeb, "Main", "7"),
        caption(C::mnuAbout, "Main", "8"),
        // After the layout's items: the toolbar's last command in the menu.
        caption(C::mnuFacebook, "Main", "9"),
        caption(C::Toolbar1Button2, "Main", "5"),
        caption(C::Toolbar1Button3, "Main", "8"),
        caption(C::Toolbar1Button4, "Main", "7"),
        caption(C::Toolbar1Button5, "Main", "9"),
        caption(C::cmdBlockFB, "Main", "13"),
        caption(C::cmdUnblockFB, "Main", "14"),
        caption(C::lblStatus, "Main", "10"),
        // The state word takes the language's character set; the status
        // text keeps the layout's font.
        {C::lblStatusEnd, std::nullopt, file.charsetStep()},
    });
    // The holders of the message texts are no controls: their charset steps
    // have nothing to change.
    lblNewVersion_JP = file.text("Main", "16");
    lblDownload_JP = file.text("Main", "17");
    lblNoUpdate_JP = file.text("Main", "18");
    lblVersion_JP = file.text("About", "2");
    lblCloseBrowser_JP = file.text("Main", "15");
}

void MainPresenter::exitChosen() {
    view_.closeWindow();
}

void MainPresenter::checkUpdatesChosen() {
    updateCheck_.start();
}

std::optional<UpdateOutcome> MainPresenter::versionAnswered(
    std::uint64_t check, const std::optional<std::string>& body) {
    return updateCheck_.answered(
        check, body, {kTitle, lblNewVersion_JP, lblVersion_JP, lblDownload_JP, lblNoUpdate_JP});
}

void MainPresenter::languageChosen() {
    view_.showLanguageDialog();
}

void MainPresenter::aboutChosen() {
    view_.showAboutDialog();
}

void MainPresenter::donateChosen() {
    view_.openAddress(web::kDonatePage);
}

void MainPresenter::webChosen() {
    view_.openAddress(web::kHomePage);
}

void MainPresenter::facebookChosen() {
    view_.openAddress(web::kSocialPage);
}

void MainPresenter::linkClicked() {
    view_.openAddress(web::kHomePage);
}

void MainPresenter::toolbarButtonClicked(std::string_view key) {
    switch (ToolbarCommandFor(key)) {
        case ToolbarCommand::ShowLanguage:
            languageChosen();
            break;
        case ToolbarCommand::ShowAbout:
            aboutChosen();
            break;
        case ToolbarCommand::OpenHomePage:
            webChosen();
            break;
        case ToolbarCommand::OpenSocialPage:
            facebookChosen();
            break;
        case ToolbarCommand::Nothing:
            break;
    }
}

}  // namespace hushgate
