#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "app_paths.h"
#include "hosts_changer.h"
#include "hosts_engine.h"
#include "icon_library.h"
#include "qt_language_file.h"
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
class frmAbout;
class frmLanguage;

// The main window: the logo panel with the blocked or unblocked mark, the
// status line and the Block and Unblock buttons, which rewrite the hosts
// file. It owns the hosts engine and the texts that stand in for hidden
// holder labels.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Tavrin Hushgate";

    explicit frmMain(AppPaths paths, QWidget* parent = nullptr);
    ~frmMain() override;

    HostsEngine& engine() { return engine_; }
    // Runs Block and Unblock, itself or through pkexec.
    HostsChanger& hostsChanger() { return *hostsChanger_; }
    // True while a Block or Unblock is under way in another process; both
    // buttons stay disabled until it has finished.
    bool hostsChangeRunning() const { return hostsChanger_->running(); }
    const AppPaths& paths() const { return paths_; }
    const QString& LanguageFilePath() const { return languageFile_.path(); }
    // The language in force: its texts, and the program's messages in it
    // (QtLanguageFile::message with the keys of messages.h).
    const QtLanguageFile& languageFile() const { return languageFile_; }

    // The current language's name: saved at exit, changed by the language
    // dialog's "Apply".
    QString lblSettingsLanguage = QStringLiteral("English");

    // The images beside the menu items, and the toolbar's from resources.dll.
    clsMenuImage MenuImage;
    QList<ToolbarImage> imgListToolbar;

    // Message texts, replaced from the language file.
    QString lblCloseBrowser_JP =
        QStringLiteral("You may need to exit your browser for these changes to take effect.");
    QString lblNewVersion_JP = QStringLiteral("New version available!");
    QString lblDownload_JP = QStringLiteral("Would you like to download it from our website?");
    QString lblNoUpdate_JP = QStringLiteral("No new updates available!");
    QString lblVersion_JP = QStringLiteral("Version:");

    void ShowBlocked();
    void ShowUnblocked();
    // The hosts file could not be read: the state word Main "19", no
    // pictures, both buttons disabled.
    void ShowUnknown();
    // The texts of the language in force, applied once at start-up.
    void LanguageMain();
    void mnuLanguage_Click();
    void mnuAbout_Click();
    VersionCheck* httpCheckVersion() const { return versionCheck_; }
    void cmdBlockFB_Click();
    void cmdUnblockFB_Click();
    void mnuExit_Click();
    // Writes config.ini; false (after telling the user) when it could not.
    bool SaveSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class HostsChange { Block, Unblock };

    void buildMenus();
    void buildToolbar(QWidget* parent);
    void buildStatusArea(QWidget* parent);
    void buildPictures();
    void Form_Load();
    void chooseLanguage();
    void showHostsStatus(bool reportFailure = true);
    // Reads the hosts file again after it changed on disk; says nothing when
    // it cannot, the state shows it.
    void recheckHostsFile();
    // Enables the two buttons; the focus never passes by itself from a
    // button being disabled to the other one.
    void setCommandsEnabled(bool block, bool unblock);
    // The one place where the hosts file is rewritten.
    void applyHostsChange(HostsChange change);
    void hostsChangeFinished(const HostsChangeOutcome& outcome);
    void reportHostsError(const HostsError& error);
    void UnloadAllForms();
    void connectCommands();
    void GetIconsFromLibrary(const QString& sLibraryFilePath);

    AppPaths paths_;
    HostsEngine engine_;
    HostsChanger* hostsChanger_ = nullptr;
    QtLanguageFile languageFile_;
    VersionCheck* versionCheck_ = nullptr;
    QPointer<frmAbout> frmAbout_;
    QPointer<frmLanguage> frmLanguage_;
    HostsWatcher* hostsWatcher_ = nullptr;
    std::unique_ptr<QtTranslation> qtTranslation_;
    QStringList pendingWarnings_;  // start-up notices, shown once the window is up
    QStringList pendingErrors_;    // start-up failures, shown once the window is up

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
