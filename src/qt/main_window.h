#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

#include "app_paths.h"
#include "hosts_changer.h"
#include "icon_library.h"
#include "main_presenter.h"
#include "menu_image.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QWidget;

namespace hushgate {

class HostsWatcher;
class QtTranslation;
class VersionCheck;
class AboutDialog;
class LanguageDialog;

// The main window: the logo panel with the blocked or unblocked mark, the
// status line and the Block and Unblock buttons. A view of MainPresenter,
// which makes every decision; the window lays out its controls, shows what
// it is told and keeps the focus and keys right.
class MainWindow : public QMainWindow, public MainView {
    Q_OBJECT

public:
    static constexpr const char* kTitle = MainPresenter::kTitle;

    explicit MainWindow(AppPaths paths, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainPresenter& presenter() { return *presenter_; }
    HostsEngine& engine() { return presenter_->engine(); }
    // Runs Block and Unblock, itself or through pkexec.
    HostsChanger& hostsChanger() { return *hostsChanger_; }
    // True while a Block or Unblock is under way in another process; both
    // buttons stay disabled until it has finished.
    bool hostsChangeRunning() const { return hostsChanger_->running(); }
    const AppPaths& paths() const { return paths_; }
    VersionCheck* httpCheckVersion() const { return versionCheck_; }

    // The images beside the menu items, and the toolbar's from resources.dll.
    MenuImageList MenuImage;
    QList<ToolbarImage> imgListToolbar;

    // MainView
    void SetIcon() override;
    void AttachMenuImages() override;
    void SetToolbarFlat() override;
    void DoEvents() override;
    bool GetIconsFromLibrary(const std::string& sLibraryFilePath) override;
    void PlaceStateWord() override;
    void applyTexts(const TextSteps& steps) override;
    void showStatus(const StatusDisplay& status) override;
    void setCommandsEnabled(bool block, bool unblock) override;
    MessageAnswer showMessage(const Message& message) override;
    void openAddress(const Text& address) override;
    void showLanguageDialog() override;
    void showAboutDialog() override;
    void startVersionRequest(std::uint64_t check, const std::string& url) override;
    void closeWindow() override { close(); }
    void UnloadAllForms() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMenus();
    // Alt+letter keys for the menus, whose captions come without them.
    void markAccessKeys();
    // Accessible names for what shows no text of its own, and for the
    // status line as a whole; again after each change of texts or state.
    void nameForScreenReaders();
    void buildToolbar(QWidget* parent);
    void buildStatusArea(QWidget* parent);
    void buildPictures();
    void connectCommands();
    QObject* control(Control id) const;
    // The menu images, once: after the first frame, or when a menu is about
    // to open before that.
    void attachPendingMenuImages();

    AppPaths paths_;
    std::unique_ptr<MainPresenter> presenter_;
    HostsChanger* hostsChanger_ = nullptr;
    VersionCheck* versionCheck_ = nullptr;
    QPointer<AboutDialog> aboutDialog_;
    QPointer<LanguageDialog> languageDialog_;
    HostsWatcher* hostsWatcher_ = nullptr;
    std::unique_ptr<QtTranslation> qtTranslation_;
    bool menuImagesPending_ = false;
    bool painted_ = false;

public:
    // Controls, named as everywhere else in the program.
    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuCheckUpdates = nullptr;
    QAction* mnuLine2 = nullptr;
    QAction* mnuLanguage = nullptr;
    QAction* mnuDonate = nullptr;
    QAction* mnuWeb = nullptr;
    QAction* mnuAbout = nullptr;
    // The toolbar's last command, reachable from the keyboard here too.
    QAction* mnuFacebook = nullptr;

    QToolBar* Toolbar1 = nullptr;
    QWidget* PicWeb = nullptr;
    QLabel* lblLink = nullptr;
    QFrame* PicBackground = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* imgBlocked = nullptr;
    QLabel* imgUnblocked = nullptr;
    QLabel* imgStatusBlocked = nullptr;
    QLabel* imgStatusUnblocked = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblStatusEnd = nullptr;
    QPushButton* cmdBlockFB = nullptr;
    QPushButton* cmdUnblockFB = nullptr;
};

}  // namespace hushgate
