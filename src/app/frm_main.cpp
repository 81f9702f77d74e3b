#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "flat_controls.h"
#include "hosts_change_text.h"
#include "hosts_error_text.h"
#include "hosts_watcher.h"
#include "main_menu_images.h"
#include "message_box.h"
#include "messages.h"
#include "qt_translation.h"
#include "read_ini.h"
#include "settings_file.h"
#include "twips.h"
#include "window_controls.h"

namespace hushgate {

frmMain::frmMain(AppPaths paths, QWidget* parent)
    : QMainWindow(parent), paths_(std::move(paths)), engine_(paths_.hostsFile, paths_.lineEnd) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QFont dialogFont = font();
    dialogFont.setPointSizeF(8.25);
    setFont(dialogFont);

    auto* client = new QWidget(this);
    client->setFixedSize(fromTwips(QSize(8880, 4440)));
    // Where the focus rests when no button holds it: Enter then means Block.
    client->setFocusPolicy(Qt::ClickFocus);
    setCentralWidget(client);
    buildMenus();
    buildToolbar(client);
    buildPictures();
    buildStatusArea(client);
    cmdUnblockFB = controls::button(client, "cmdUnblockFB", QStringLiteral("&Unblock Facebook"),
                                 {6795, 3720, 1935, 495});
    cmdBlockFB = controls::button(client, "cmdBlockFB", QStringLiteral("&Block Facebook"),
                               {4560, 3720, 2055, 495});
    cmdBlockFB->setDefault(true);
    connect(cmdBlockFB, &QPushButton::clicked, this, &frmMain::cmdBlockFB_Click);
    connect(cmdUnblockFB, &QPushButton::clicked, this, &frmMain::cmdUnblockFB_Click);
    setTabOrder(cmdBlockFB, cmdUnblockFB);
    // Not a button: shown in the state where Block is disabled, the window
    // would otherwise hand the focus to Unblock, and Enter would press it.
    client->setFocus();

    for (QLabel* hidden : {imgBlocked, imgUnblocked, imgStatusBlocked, imgStatusUnblocked}) {
        hidden->hide();
    }
    adjustSize();
    setFixedSize(size());
    if (const QScreen* where = screen()) {
        move(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size(),
                                 where->availableGeometry())
                 .topLeft());
    }

    engine_.setStatusHandlers([this] { ShowBlocked(); }, [this] { ShowUnblocked(); });
    hostsChanger_ = new HostsChanger(engine_, this);
    connect(hostsChanger_, &HostsChanger::finished, this, &frmMain::hostsChangeFinished);
    connectCommands();
    Form_Load();
    hostsWatcher_ = new HostsWatcher(fromNativePath(paths_.hostsFile), this);
    connect(hostsWatcher_, &HostsWatcher::changed, this, &frmMain::recheckHostsFile);
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    SetIcon(this, QStringLiteral("AAA"), true);

    chooseLanguage();
    LanguageMain();

    // Missing menu images are no reason to stop or to bother the user.
    AttachMainMenuImages(MenuImage, menuBar());
    SetToolbarFlat(Toolbar1, true);
    QCoreApplication::processEvents();
    GetIconsFromLibrary(paths_.programFolder + QStringLiteral("/resources.dll"));

    showHostsStatus();
    // The state word follows the status text at a fixed gap.
    lblStatus->adjustSize();
    lblStatusEnd->move(lblStatus->x() + lblStatus->width() + fromTwips(70), lblStatusEnd->y());
}

void frmMain::chooseLanguage() {
    // The language in force: the one named in config.ini if it is a bare
    // name and its file exists, else English.
    const std::string folder = toNativePath(paths_.programFolder);
    lblSettingsLanguage =
        fromNativePath(ReadINI("Settings", "Language", toNativePath(paths_.settingsFile)));
    if (!IsLanguageName(toNativePath(lblSettingsLanguage)) ||
        !FileExists(hushgate::LanguageFilePath(folder, toNativePath(lblSettingsLanguage)))) {
        lblSettingsLanguage = QStringLiteral("English");
    }
    languageFile_ = QtLanguageFile(
        fromNativePath(hushgate::LanguageFilePath(folder, toNativePath(lblSettingsLanguage))));
    if (!languageFile_.exists()) {
        // Not even English.lng: the English compiled in, and the user is told.
        languageFile_ = QtLanguageFile::builtInEnglish();
        const QString languageFolder = QDir::toNativeSeparators(
            QDir(paths_.programFolder).filePath(QStringLiteral("Language")));
        pendingWarnings_.append(
            languageFile_.message(messages::kLanguageFilesMissing).arg(languageFolder));
    }
    qtTranslation_ = std::make_unique<QtTranslation>(lblSettingsLanguage, languageFile_);
}

void frmMain::showHostsStatus(bool reportFailure) {
    try {
        engine_.LoadHostsList();
        engine_.FillBlockList();
        engine_.CheckStatus();
    } catch (const HostsError& error) {
        ShowUnknown();
        if (!reportFailure) {
            return;
        }
        if (isVisible()) {
            reportHostsError(error);
        } else {
            pendingErrors_.append(DescribeHostsError(error, languageFile_));
        }
    }
}

void frmMain::recheckHostsFile() {
    if (hostsChangeRunning()) {
        // The change shows the outcome itself; look again once it is done.
        hostsWatcher_->recheckLater();
        return;
    }
    showHostsStatus(false);
}

void frmMain::ShowUnknown() {
    for (QLabel* picture : {imgBlocked, imgUnblocked, imgStatusBlocked, imgStatusUnblocked}) {
        picture->hide();
    }
    // A key added later: files made before it show the English word.
    lblStatusEnd->setText(languageFile_.textOrEnglish("Main", "19"));
    lblStatusEnd->adjustSize();
    setCommandsEnabled(false, false);
}

void frmMain::setCommandsEnabled(bool block, bool unblock) {
    // Qt hands the focus of a button being disabled on to the next one: a
    // disabled Block would pass it to Unblock, and the next Enter would undo
    // what the last one did. The focus goes back to the window instead, where
    // Enter means Block, and nothing while Block is disabled.
    const QWidget* focused = focusWidget();
    if ((!block && focused == cmdBlockFB) || (!unblock && focused == cmdUnblockFB)) {
        centralWidget()->setFocus(Qt::OtherFocusReason);
    }
    cmdBlockFB->setEnabled(block);
    cmdUnblockFB->setEnabled(unblock);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!pendingWarnings_.isEmpty() || !pendingErrors_.isEmpty()) {
        // After the window is on screen, so each message has its owner.
        QTimer::singleShot(0, this, [this] {
            for (const QString& text : std::exchange(pendingWarnings_, {})) {
                MessageBox::show(this, QMessageBox::Warning, QString::fromLatin1(kTitle), text);
            }
            for (const QString& text : std::exchange(pendingErrors_, {})) {
                MessageBox::critical(this, QString::fromLatin1(kTitle), text);
            }
        });
    }
}

void frmMain::ShowBlocked() {
    imgBlocked->show();
    imgUnblocked->hide();
    imgStatusBlocked->show();
    imgStatusUnblocked->hide();
    lblStatusEnd->setText(languageFile_.text("Main", "11"));
    lblStatusEnd->adjustSize();
    setCommandsEnabled(false, true);
}

void frmMain::ShowUnblocked() {
    imgUnblocked->show();
    imgBlocked->hide();
    imgStatusBlocked->hide();
    imgStatusUnblocked->show();
    lblStatusEnd->setText(languageFile_.text("Main", "12"));
    lblStatusEnd->adjustSize();
    setCommandsEnabled(true, false);
}

void frmMain::cmdBlockFB_Click() { applyHostsChange(HostsChange::Block); }

void frmMain::cmdUnblockFB_Click() { applyHostsChange(HostsChange::Unblock); }

void frmMain::applyHostsChange(HostsChange change) {
    if (hostsChanger_->running()) {
        return;
    }
    // Nothing to press until the change is over; the outcome sets them again.
    setCommandsEnabled(false, false);
    hostsChanger_->start(change == HostsChange::Block ? HostsChanger::Verb::Block
                                                      : HostsChanger::Verb::Unblock);
}

void frmMain::hostsChangeFinished(const HostsChangeOutcome& outcome) {
    if (outcome.error) {
        reportHostsError(*outcome.error);
        // Show what the file on disk holds now; if it cannot be read, the
        // message just shown has said why.
        showHostsStatus(false);
        return;
    }
    if (outcome.elevated) {
        // Another process wrote (or did not write) the file: show what it holds.
        showHostsStatus();
    }
    if (outcome.result == HostsChangeOutcome::Result::Done) {
        MessageBox::information(this, QString::fromLatin1(kTitle), lblCloseBrowser_JP);
        return;
    }
    const QString text = HostsChangeMessage(outcome, languageFile_);
    if (!text.isEmpty()) {
        MessageBox::critical(this, QString::fromLatin1(kTitle), text);
    }
}

void frmMain::reportHostsError(const HostsError& error) {
    MessageBox::critical(this, QString::fromLatin1(kTitle),
                         DescribeHostsError(error, languageFile_));
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button, or else the default one, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focused != nullptr ? focused : cmdBlockFB;
        if (target->isEnabled()) {
            target->click();
        }
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMain::mnuExit_Click() { close(); }

bool frmMain::SaveSettings() {
    std::string reason;
    if (hushgate::SaveSettings(toNativePath(paths_.settingsFile), toNativePath(lblSettingsLanguage),
                               &reason)) {
        return true;
    }
    MessageBox::show(
        this, QMessageBox::Warning, QString::fromLatin1(kTitle),
        languageFile_.message(messages::kSettingsNotSaved)
            .arg(QDir::toNativeSeparators(paths_.settingsFile), fromNativePath(reason)));
    return false;
}

void frmMain::closeEvent(QCloseEvent* event) {
    SaveSettings();
    UnloadAllForms();
    event->accept();
}

void frmMain::UnloadAllForms() {
    // Our own forms only (their names start with "frm"), not Qt's menus.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->objectName().startsWith(QLatin1String("frm"))) {
            window->hide();
            window->close();
        }
    }
    QCoreApplication::quit();
}

}  // namespace hushgate
