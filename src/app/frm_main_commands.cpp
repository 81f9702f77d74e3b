// The main window's commands, its language texts and its toolbar images.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include "frm_about.h"
#include "frm_language.h"
#include "frm_main.h"
#include "link_click.h"
#include "open_web.h"
#include "toolbar_dispatch.h"
#include "version_check.h"
#include "web_constants.h"

namespace hushgate {

void frmMain::connectCommands() {
    versionCheck_ = new VersionCheck(this, [this] {
        return VersionMessageTexts{QString::fromLatin1(kTitle), lblNewVersion_JP, lblVersion_JP,
                                   lblDownload_JP, lblNoUpdate_JP};
    });
    connect(mnuCheckUpdates, &QAction::triggered, versionCheck_, &VersionCheck::start);
    connect(mnuLanguage, &QAction::triggered, this, &frmMain::mnuLanguage_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(mnuWeb, &QAction::triggered, this, [this] { OpenWeb(this, web::kHomePage); });
    connect(mnuDonate, &QAction::triggered, this, [this] { OpenWeb(this, web::kDonatePage); });
    connect(mnuFacebook, &QAction::triggered, this, [this] { OpenWeb(this, web::kSocialPage); });
    OnLabelClick(lblLink, [this] { OpenWeb(this, web::kHomePage); });
    connect(Toolbar1, &QToolBar::actionTriggered, this, [this](QAction* button) {
        Toolbar1_ButtonClick(this, button,
                             {[this] { mnuLanguage_Click(); }, [this] { mnuAbout_Click(); }});
    });
}

void frmMain::GetIconsFromLibrary(const QString& sLibraryFilePath) {
    ToolbarImages library = LoadToolbarImages(sLibraryFilePath);
    if (!library.libraryUsable) {
        // Shown once the window is up; the toolbar stays without images.
        pendingErrors_.append(QStringLiteral("\"Resources.dll\" is missing!"));
        return;
    }
    imgListToolbar = std::move(library.images);
    ApplyToolbarImages(Toolbar1, imgListToolbar);
}

void frmMain::LanguageMain() {
    const QtLanguageFile& file = languageFile_;
    mnuFile->setTitle(file.text("Main", "1"));
    mnuExit->setText(file.text("Main", "2"));
    mnuHelp->setTitle(file.text("Main", "3"));
    mnuCheckUpdates->setText(file.text("Main", "4"));
    mnuLanguage->setText(file.text("Main", "5"));
    mnuDonate->setText(file.text("Main", "6"));
    mnuWeb->setText(file.text("Main", "7"));
    mnuAbout->setText(file.text("Main", "8"));
    mnuFacebook->setText(file.text("Main", "9"));
    // Toolbar positions 2 to 5; position 1 is the separator.
    const QList<QAction*> buttons = Toolbar1->actions();
    const char* toolTipKeys[] = {"5", "8", "7", "9"};
    for (int i = 0; i < 4 && i + 1 < buttons.size(); ++i) {
        buttons[i + 1]->setToolTip(file.text("Main", toolTipKeys[i]));
    }
    cmdBlockFB->setText(file.text("Main", "13"));
    cmdUnblockFB->setText(file.text("Main", "14"));
    lblStatus->setText(file.text("Main", "10"));
    CharsetStep(lblStatusEnd, file);
    lblNewVersion_JP = file.text("Main", "16");
    lblDownload_JP = file.text("Main", "17");
    lblNoUpdate_JP = file.text("Main", "18");
    lblVersion_JP = file.text("About", "2");
    lblCloseBrowser_JP = file.text("Main", "15");
}

void frmMain::mnuLanguage_Click() {
    if (frmLanguage_.isNull()) {
        frmLanguage_ = new frmLanguage(
            this, paths_.programFolder, languageFile_,
            {[this] { return lblSettingsLanguage; },
             [this](const QString& name) { lblSettingsLanguage = name; }},
            [this](const QString& address) { OpenWeb(frmLanguage_, address); });
    }
    frmLanguage_->show();
    SetIcon(frmLanguage_, QStringLiteral("FFF"), true);
    frmLanguage_->raise();
    frmLanguage_->activateWindow();
}

void frmMain::mnuAbout_Click() {
    if (frmAbout_.isNull()) {
        frmAbout_ = new frmAbout(this, languageFile_, QString::fromUtf8(web::kHomePage),
                                 [this](const QString& address) { OpenWeb(frmAbout_, address); });
    }
    frmAbout_->show();
    SetIcon(frmAbout_, QStringLiteral("ZZZ"), true);
    frmAbout_->raise();
    frmAbout_->activateWindow();
}

}  // namespace hushgate
