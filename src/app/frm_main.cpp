#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include "flat_controls.h"
#include "hosts_change_text.h"
#include "hosts_error_text.h"
#include "main_menu_images.h"
#include "message_box.h"
#include "read_ini.h"
#include "resource_names.h"
#include "settings_file.h"
#include "twips.h"
#include "window_controls.h"
#include "web_constants.h"

namespace hushgate {

namespace {

QLabel* pictureLabel(QWidget* parent, const char* name, const char* resource, QRect twipsRect) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setPixmap(QPixmap(QString::fromLatin1(resource)));
    label->setGeometry(fromTwips(twipsRect));
    return label;
}

}  // namespace

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
    setCentralWidget(client);
    buildMenus();
    buildToolbar(client);

    PicBackground = new QFrame(client);
    PicBackground->setObjectName(QStringLiteral("PicBackground"));
    PicBackground->setGeometry(fromTwips(QRect(40, 460, 8775, 3135)));
    PicBackground->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PicBackground->setAutoFillBackground(true);
    QPalette white = PicBackground->palette();
    white.setColor(QPalette::Window, Qt::white);
    PicBackground->setPalette(white);
    imgLogo = pictureLabel(PicBackground, "imgLogo", resources::kLogo, {960, 600, 6750, 1950});
    imgUnblocked =
        pictureLabel(PicBackground, "imgUnblocked", resources::kUnblockedMark, {7320, 1800, 360, 360});
    imgBlocked = pictureLabel(PicBackground, "imgBlocked", resources::kBlockedMark, {7320, 1800, 330, 330});

    buildStatusArea(client);
    cmdUnblockFB = controls::button(client, "cmdUnblockFB", QStringLiteral("&Unblock Facebook"),
                                 {6795, 3720, 1935, 495});
    cmdBlockFB = controls::button(client, "cmdBlockFB", QStringLiteral("&Block Facebook"),
                               {4560, 3720, 2055, 495});
    cmdBlockFB->setDefault(true);
    connect(cmdBlockFB, &QPushButton::clicked, this, &frmMain::cmdBlockFB_Click);
    connect(cmdUnblockFB, &QPushButton::clicked, this, &frmMain::cmdUnblockFB_Click);
    setTabOrder(cmdBlockFB, cmdUnblockFB);

    for (QLabel* hidden : {imgBlocked, imgUnblocked, imgStatusBlocked, imgStatusUnblocked}) {
        hidden->hide();
    }
    adjustSize();
    setFixedSize(size());

    engine_.setStatusHandlers([this] { ShowBlocked(); }, [this] { ShowUnblocked(); });
    hostsChanger_ = new HostsChanger(engine_, this);
    connect(hostsChanger_, &HostsChanger::finished, this, &frmMain::hostsChangeFinished);
    connectCommands();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"), this, &frmMain::mnuExit_Click);
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuCheckUpdates = mnuHelp->addAction(QStringLiteral("Check for updates..."));
    mnuLine2 = mnuHelp->addSeparator();
    mnuLanguage = mnuHelp->addAction(QStringLiteral("Change language"));
    mnuDonate = mnuHelp->addAction(QStringLiteral("Donate..."));
    mnuWeb = mnuHelp->addAction(QStringLiteral("Web..."));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About..."));
    mnuCheckUpdates->setObjectName(QStringLiteral("mnuCheckUpdates"));
    mnuLine2->setObjectName(QStringLiteral("mnuLine2"));
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    mnuDonate->setObjectName(QStringLiteral("mnuDonate"));
    mnuWeb->setObjectName(QStringLiteral("mnuWeb"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

void frmMain::buildToolbar(QWidget* parent) {
    Toolbar1 = new QToolBar(parent);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometry(fromTwips(QRect(0, 0, 8880, 420)));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->addSeparator();
    const struct {
        const char* key;
        const char* toolTip;
    } buttons[] = {{"language", "Change language"},
                   {"about", "About..."},
                   {"web", "Web..."},
                   {"facebook", "Follow me on Facebook..."}};
    for (const auto& button : buttons) {
        QAction* action = Toolbar1->addAction(QString());
        action->setObjectName(QString::fromLatin1(button.key));
        action->setData(QString::fromLatin1(button.key));
        action->setToolTip(QString::fromLatin1(button.toolTip));
    }
    // Raised until the flat look is switched on in the load step.
    SetToolbarFlat(Toolbar1, false);

    PicWeb = new QWidget(Toolbar1);
    PicWeb->setObjectName(QStringLiteral("PicWeb"));
    PicWeb->setGeometry(fromTwips(QRect(6360, 0, 2415, 375)));
    lblLink = controls::label(PicWeb, "lblLink", QString::fromUtf8(web::kHomePage), {480, 120, 1845, 195});
    lblLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont linkFont = lblLink->font();
    linkFont.setUnderline(true);
    lblLink->setFont(linkFont);
    QPalette linkPalette = lblLink->palette();
    linkPalette.setColor(QPalette::WindowText, linkPalette.color(QPalette::Highlight));
    lblLink->setPalette(linkPalette);
    lblLink->setCursor(QCursor(QPixmap(resources::kLinkPointer), resources::kLinkPointerHotX,
                              resources::kLinkPointerHotY));
    controls::fitToTextKeepingRightEdge(lblLink);
    // A long address grows to the left; widen its holder rather than cut it.
    if (lblLink->x() < 0) {
        const int more = -lblLink->x();
        PicWeb->setGeometry(PicWeb->x() - more, PicWeb->y(), PicWeb->width() + more, PicWeb->height());
        lblLink->move(0, lblLink->y());
    }
}

void frmMain::buildStatusArea(QWidget* parent) {
    imgStatusBlocked = pictureLabel(parent, "imgStatusBlocked", resources::kPadlockClosed,
                                    {120, 3900, 240, 240});
    imgStatusUnblocked = pictureLabel(parent, "imgStatusUnblocked", resources::kPadlockOpen,
                                      {120, 3900, 240, 240});
    lblStatus = controls::label(parent, "lblStatus", QStringLiteral("Status: Facebook is"),
                          {480, 3945, 1410, 195});
    lblStatusEnd = controls::label(parent, "lblStatusEnd", QStringLiteral("blocked!"), {2000, 3945, 750, 195});
    QFont bold = lblStatusEnd->font();
    bold.setBold(true);
    lblStatusEnd->setFont(bold);
    lblStatus->adjustSize();
    lblStatusEnd->adjustSize();
}

void frmMain::Form_Load() {
    SetIcon(this, QStringLiteral("AAA"), true);

    // The language in force: the one named in config.ini if its file exists.
    const std::string folder = toNativePath(paths_.programFolder);
    lblSettingsLanguage =
        fromNativePath(ReadINI("Settings", "Language", toNativePath(paths_.settingsFile)));
    if (!FileExists(hushgate::LanguageFilePath(folder, toNativePath(lblSettingsLanguage)))) {
        lblSettingsLanguage = QStringLiteral("English");
    }
    languageFile_ = LanguageFile(
        fromNativePath(hushgate::LanguageFilePath(folder, toNativePath(lblSettingsLanguage))));
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

void frmMain::showHostsStatus(bool reportFailure) {
    try {
        engine_.LoadHostsList();
        engine_.FillBlockList();
        engine_.CheckStatus();
    } catch (const HostsError& error) {
        showStatusUnknown();
        if (!reportFailure) {
            return;
        }
        if (isVisible()) {
            reportHostsError(error);
        } else {
            pendingErrors_.append(DescribeHostsError(error));
        }
    }
}

void frmMain::showStatusUnknown() {
    for (QLabel* picture : {imgBlocked, imgUnblocked, imgStatusBlocked, imgStatusUnblocked}) {
        picture->hide();
    }
    lblStatusEnd->clear();
    cmdBlockFB->setEnabled(false);
    cmdUnblockFB->setEnabled(false);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!pendingErrors_.isEmpty()) {
        // After the window is on screen, so each message has its owner.
        QTimer::singleShot(0, this, [this] {
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
    cmdBlockFB->setEnabled(false);
    cmdUnblockFB->setEnabled(true);
}

void frmMain::ShowUnblocked() {
    imgUnblocked->show();
    imgBlocked->hide();
    imgStatusBlocked->hide();
    imgStatusUnblocked->show();
    lblStatusEnd->setText(languageFile_.text("Main", "12"));
    lblStatusEnd->adjustSize();
    cmdBlockFB->setEnabled(true);
    cmdUnblockFB->setEnabled(false);
}

void frmMain::cmdBlockFB_Click() { applyHostsChange(HostsChange::Block); }

void frmMain::cmdUnblockFB_Click() { applyHostsChange(HostsChange::Unblock); }

void frmMain::applyHostsChange(HostsChange change) {
    if (hostsChanger_->running()) {
        return;
    }
    // Nothing to press until the change is over; the outcome sets them again.
    cmdBlockFB->setEnabled(false);
    cmdUnblockFB->setEnabled(false);
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
    const QString text = HostsChangeMessage(outcome);
    if (!text.isEmpty()) {
        MessageBox::critical(this, QString::fromLatin1(kTitle), text);
    }
}

void frmMain::reportHostsError(const HostsError& error) {
    MessageBox::critical(this, QString::fromLatin1(kTitle), DescribeHostsError(error));
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
    MessageBox::show(this, QMessageBox::Warning, QString::fromLatin1(kTitle),
                     fromNativePath(reason) + QLatin1Char('.'));
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
