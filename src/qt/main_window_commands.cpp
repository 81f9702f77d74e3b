// The main window's commands and texts, handed to and taken from its
// presenter, and the two dialogs it opens.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include "about_dialog.h"
#include "language_dialog.h"
#include "language_text.h"
#include "link_click.h"
#include "main_window.h"
#include "open_web.h"
#include "version_check.h"

namespace hushgate {

void MainWindow::connectCommands() {
    versionCheck_ =
        new VersionCheck(this, [this](quint64 check, const std::optional<QByteArray>& body) {
            presenter_->versionAnswered(
                check, body ? std::optional<std::string>(body->toStdString()) : std::nullopt);
        });
    MainPresenter& p = *presenter_;
    connect(cmdBlockFB, &QPushButton::clicked, this, [&p] { p.blockClicked(); });
    connect(cmdUnblockFB, &QPushButton::clicked, this, [&p] { p.unblockClicked(); });
    connect(mnuExit, &QAction::triggered, this, [&p] { p.exitChosen(); });
    connect(mnuCheckUpdates, &QAction::triggered, this, [&p] { p.checkUpdatesChosen(); });
    connect(mnuLanguage, &QAction::triggered, this, [&p] { p.languageChosen(); });
    connect(mnuAbout, &QAction::triggered, this, [&p] { p.aboutChosen(); });
    connect(mnuWeb, &QAction::triggered, this, [&p] { p.webChosen(); });
    connect(mnuDonate, &QAction::triggered, this, [&p] { p.donateChosen(); });
    connect(mnuFacebook, &QAction::triggered, this, [&p] { p.facebookChosen(); });
    OnLabelClick(lblLink, [&p] { p.linkClicked(); });
    connect(Toolbar1, &QToolBar::actionTriggered, this, [&p](QAction* button) {
        // A separator's data is empty, which matches no key.
        p.toolbarButtonClicked(button->data().toString().toStdString());
    });
}

QObject* MainWindow::control(Control id) const {
    const QList<QAction*> buttons = Toolbar1->actions();
    const auto button = [&buttons](int number) {
        return number <= buttons.size() ? buttons[number - 1] : nullptr;
    };
    switch (id) {
        case Control::mnuFile:
            return mnuFile;
        case Control::mnuExit:
            return mnuExit;
        case Control::mnuHelp:
            return mnuHelp;
        case Control::mnuCheckUpdates:
            return mnuCheckUpdates;
        case Control::mnuLanguage:
            return mnuLanguage;
        case Control::mnuDonate:
            return mnuDonate;
        case Control::mnuWeb:
            return mnuWeb;
        case Control::mnuAbout:
            return mnuAbout;
        case Control::mnuFacebook:
            return mnuFacebook;
        case Control::Toolbar1Button2:
            return button(2);
        case Control::Toolbar1Button3:
            return button(3);
        case Control::Toolbar1Button4:
            return button(4);
        case Control::Toolbar1Button5:
            return button(5);
        case Control::cmdBlockFB:
            return cmdBlockFB;
        case Control::cmdUnblockFB:
            return cmdUnblockFB;
        case Control::lblStatus:
            return lblStatus;
        case Control::lblStatusEnd:
            return lblStatusEnd;
        default:
            return nullptr;  // another window's
    }
}

void MainWindow::applyTexts(const TextSteps& steps) {
    for (const TextStep& step : steps) {
        QObject* target = control(step.control);
        if (step.text) {
            const QString text = ToQString(*step.text);
            if (auto* menu = qobject_cast<QMenu*>(target)) {
                menu->setTitle(text);
            } else if (auto* action = qobject_cast<QAction*>(target)) {
                // The toolbar's buttons show pictures; their texts are tool-tips.
                if (Toolbar1->actions().contains(action)) {
                    action->setToolTip(text);
                } else {
                    action->setText(text);
                }
            } else if (auto* button = qobject_cast<QPushButton*>(target)) {
                button->setText(text);
            } else if (auto* label = qobject_cast<QLabel*>(target)) {
                label->setText(text);
            }
        }
    }
    markAccessKeys();
    nameForScreenReaders();
}

void MainWindow::openAddress(const Text& address) {
    OpenWeb(this, ToQString(address));
}

void MainWindow::startVersionRequest(std::uint64_t check, const std::string& url) {
    versionCheck_->start(check, QUrl(QString::fromStdString(url)));
}

void MainWindow::showLanguageDialog() {
    if (languageDialog_.isNull()) {
        languageDialog_ = new LanguageDialog(
            this, presenter_->languageFolder(), presenter_->languageFile(),
            {[this] { return presenter_->lblSettingsLanguage; },
             [this](const std::string& name) { presenter_->lblSettingsLanguage = name; }},
            [this](const QString& address) { OpenWeb(languageDialog_, address); });
    }
    languageDialog_->show();
    hushgate::SetIcon(languageDialog_, QStringLiteral("FFF"), true);
    languageDialog_->raise();
    languageDialog_->activateWindow();
}

void MainWindow::showAboutDialog() {
    if (aboutDialog_.isNull()) {
        aboutDialog_ =
            new AboutDialog(this, presenter_->languageFile(),
                            [this](const QString& address) { OpenWeb(aboutDialog_, address); });
    }
    aboutDialog_->show();
    hushgate::SetIcon(aboutDialog_, QStringLiteral("ZZZ"), true);
    aboutDialog_->raise();
    aboutDialog_->activateWindow();
}

}  // namespace hushgate
