#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "flat_controls.h"
#include "hosts_watcher.h"
#include "language_text.h"
#include "main_menu_images.h"
#include "message_view.h"
#include "qt_translation.h"
#include "twips.h"
#include "window_controls.h"

namespace hushgate {

MainWindow::MainWindow(AppPaths paths, QWidget* parent)
    : QMainWindow(parent), paths_(std::move(paths)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    controls::setBaseFont(this, layout::main_window::kFont);

    auto* client = new QWidget(this);
    client->setFixedSize(fromTwips(layout::main_window::kClient).size());
    // Where the focus rests when no button holds it: Enter then means Block.
    client->setFocusPolicy(Qt::ClickFocus);
    setCentralWidget(client);
    buildMenus();
    buildToolbar(client);
    buildPictures();
    buildStatusArea(client);
    cmdUnblockFB = controls::button(client, "cmdUnblockFB", QStringLiteral("&Unblock Facebook"),
                                    twipsRect(layout::main_window::kUnblock));
    cmdBlockFB = controls::button(client, "cmdBlockFB", QStringLiteral("&Block Facebook"),
                                  twipsRect(layout::main_window::kBlock));
    cmdBlockFB->setDefault(true);
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

    presenter_ = std::make_unique<MainPresenter>(paths_.toProgramPaths(), *this);
    hostsChanger_ = new HostsChanger(presenter_->engine(), this);
    presenter_->useHostsChanger(*hostsChanger_);
    connectCommands();
    presenter_->load();
    qtTranslation_ = std::make_unique<QtTranslation>(
        fromNativePath(presenter_->lblSettingsLanguage), presenter_->languageFile());
    hostsWatcher_ = new HostsWatcher(fromNativePath(paths_.hostsFile), this);
    connect(hostsWatcher_, &HostsWatcher::changed, this,
            [this] { presenter_->hostsFileChanged(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::SetIcon() {
    hushgate::SetIcon(this, QStringLiteral("AAA"), true);
}

void MainWindow::AttachMenuImages() {
    // Nobody sees them before a menu opens, so they need not hold up the
    // first frame.
    menuImagesPending_ = true;
    if (painted_) {
        attachPendingMenuImages();
    }
}

void MainWindow::attachPendingMenuImages() {
    if (menuImagesPending_) {
        menuImagesPending_ = false;
        AttachMainMenuImages(MenuImage, menuBar());
    }
}

void MainWindow::SetToolbarFlat() {
    hushgate::SetToolbarFlat(Toolbar1, true);
}

void MainWindow::DoEvents() {
    QCoreApplication::processEvents();
}

bool MainWindow::GetIconsFromLibrary(const std::string& sLibraryFilePath) {
    ToolbarImages library = LoadToolbarImages(fromNativePath(sLibraryFilePath));
    if (!library.libraryUsable) {
        return false;
    }
    imgListToolbar = std::move(library.images);
    ApplyToolbarImages(Toolbar1, imgListToolbar);
    return true;
}

void MainWindow::PlaceStateWord() {
    lblStatus->adjustSize();
    lblStatusEnd->move(
        lblStatus->x() + lblStatus->width() + fromTwips(layout::main_window::kStatusEndGap),
        lblStatusEnd->y());
}

void MainWindow::showStatus(const StatusDisplay& status) {
    imgBlocked->setVisible(status.imgBlocked);
    imgUnblocked->setVisible(status.imgUnblocked);
    imgStatusBlocked->setVisible(status.imgStatusBlocked);
    imgStatusUnblocked->setVisible(status.imgStatusUnblocked);
    lblStatusEnd->setText(ToQString(status.stateWord));
    lblStatusEnd->adjustSize();
    // Why the state is unknown, or how much of the block is there, without
    // moving anything: the status line's tool tip and description.
    const QString detail = ToQString(status.detail);
    for (QWidget* label : {static_cast<QWidget*>(lblStatus), static_cast<QWidget*>(lblStatusEnd)}) {
        label->setToolTip(detail);
        label->setAccessibleDescription(detail);
    }
    setCommandsEnabled(status.blockEnabled, status.unblockEnabled);
    nameForScreenReaders();
}

void MainWindow::setCommandsEnabled(bool block, bool unblock) {
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

MessageAnswer MainWindow::showMessage(const Message& message) {
    return ShowMessage(this, message);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // After the window is on screen, so each message has its owner.
    QTimer::singleShot(0, this, [this] { presenter_->showStartupReports(); });
}

void MainWindow::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!painted_) {
        painted_ = true;
        // The window's widgets are painted and shown in one go; this runs
        // once that is done.
        QTimer::singleShot(0, this, &MainWindow::attachPendingMenuImages);
    }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
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

void MainWindow::closeEvent(QCloseEvent* event) {
    presenter_->unload();
    event->accept();
}

void MainWindow::UnloadAllForms() {
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
