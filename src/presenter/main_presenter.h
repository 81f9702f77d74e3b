#pragma once

// The main window's decisions, in plain C++: what it shows and says, in what
// order, and what its commands do. The windows themselves (Qt on Linux, Win32
// on Windows) are thin views over it.
//
// How a front end drives it:
// 1. Implement MainView over the window. Make a MainPresenter with the
//    program's paths and that view. To have Block and Unblock made by
//    another process (pkexec), make a HostsChangeRunner over engine() and
//    hand it over with useHostsChanger(); by default the engine changes the
//    file in this process (DirectHostsChange).
// 2. Call load() once, before the window is first shown: it calls back
//    into the view in the load step's order (icon, texts, menu images, flat
//    toolbar, pending events, toolbar images, status, state word).
// 3. Once the window is on screen, call showStartupReports(): what went wrong
//    while loading (language files missing, resources.dll missing, hosts file
//    unreadable) and interrupted changes the engine undid are shown then,
//    once. Later notices are shown as they come.
// 4. Forward the user's commands: blockClicked(), unblockClicked(),
//    the menus' ...Chosen() handlers, linkClicked(), toolbarButtonClicked(key).
//    Enter means Block while Block is enabled: check blockEnabled() first.
// 5. When the hosts file may have changed on disk (watch the file and its
//    folder), call hostsFileChanged(); while a change runs, its outcome
//    shows the file instead.
// 6. Update check: checkUpdatesChosen() asks the view to fetch the
//    version file; hand the result back with versionAnswered().
// 7. When the main window closes (close box or closeWindow()), call
//    unload(): it saves the settings and has the view unload every form.
// 8. The dialogs: make an AboutPresenter or LanguagePresenter over the
//    dialog when MainView::showAboutDialog/showLanguageDialog is called, with
//    languageFile() and, for the language dialog, lblSettingsLanguage.
// Texts come as Text: language-file bytes with their character set, which
// the view decodes (Qt: ToQString; Win32: MultiByteToWideChar with
// CodePageOf(characterSet).number).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hosts_change.h"
#include "hosts_engine.h"
#include "language_file.h"
#include "main_view.h"
#include "update_check.h"
#include "view_types.h"

namespace hushgate {

// Where the program finds what it reads and writes; paths in the encoding of
// file names (UTF-8 on Windows). Tests give temporary ones.
struct ProgramPaths {
    // Language/ and resources.dll are each looked for beside the program
    // first, then in the data folder the program was installed with ("" for
    // none: the Windows program keeps them beside itself).
    std::string programFolder;
    std::string settingsFile;  // config.ini
    std::string hostsFile;
    LineEnd lineEnd = NativeLineEnd();
    std::string installedDataFolder;

    // The folders searched, in order.
    std::vector<std::string> dataFolders() const;
};

class MainPresenter {
public:
    static constexpr const char* kTitle = "Tavrin Hushgate";

    MainPresenter(ProgramPaths paths, MainView& view);
    ~MainPresenter();
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    // Block and Unblock go through `runner` from now on; it must outlive
    // this presenter or be replaced first.
    void useHostsChanger(HostsChangeRunner& runner) { changer_ = &runner; }
    HostsEngine& engine() { return engine_; }
    const ProgramPaths& paths() const { return paths_; }

    // The load step: see the note above.
    void load();
    void showStartupReports();

    // The language in force (LanguageFilePath), fixed by the load step.
    const LanguageFile& languageFile() const { return languageFile_; }
    // The folder whose Language/ the program uses, fixed by the load step.
    const std::string& languageFolder() const { return languageFolder_; }
    // The current language's name: saved at exit, changed by the language
    // dialog's "Apply".
    std::string lblSettingsLanguage = "English";

    // Message texts, replaced from the language file by LanguageMain.
    Text lblCloseBrowser_JP = "You may need to exit your browser for these changes to take effect.";
    Text lblNewVersion_JP = "New version available!";
    Text lblDownload_JP = "Would you like to download it from our website?";
    Text lblNoUpdate_JP = "No new updates available!";
    Text lblVersion_JP = "Version:";

    // The texts of the language in force, applied once by the load step.
    void LanguageMain();

    // The status display. ShowUnknown: the hosts file could not be read,
    // for the reason given.
    void ShowBlocked();
    void ShowUnblocked();
    void ShowUnknown(const Text& reason = {});
    const StatusDisplay& status() const { return status_; }
    bool blockEnabled() const { return !changeRunning() && status_.blockEnabled; }
    // The hosts file may have changed on disk: read it again, quietly (the
    // state shows what is there). While a change runs, its outcome does.
    void hostsFileChanged();

    void blockClicked();
    void unblockClicked();
    bool changeRunning() const { return changer_->running(); }

    void exitChosen();
    void checkUpdatesChosen();
    void languageChosen();
    void donateChosen();
    void webChosen();
    void aboutChosen();
    void facebookChosen();
    void linkClicked();
    // A toolbar button, by the key it carries ("language", "about", "web",
    // "facebook"); the separator and any other key do nothing.
    void toolbarButtonClicked(std::string_view key);

    UpdateCheck& updateCheck() { return updateCheck_; }
    // The answer to check `check`: the body of a successful (2xx) answer, or
    // nothing when the request failed. Nothing when the check was replaced
    // by a newer one (its answer is ignored); else how it ended, once the
    // message is closed.
    std::optional<UpdateOutcome> versionAnswered(std::uint64_t check,
                                                 const std::optional<std::string>& body);

    // Writes config.ini; false (after telling the user) when it could not.
    bool SaveSettings();
    // The main window is closing: settings saved, every form unloaded.
    void unload();

private:
    void chooseLanguage();
    void loadIconLibrary();
    void showHostsStatus(bool reportFailure);
    void show(const StatusDisplay& status);
    void applyHostsChange(HostsVerb verb);
    void hostsChangeFinished(const HostsChangeOutcome& outcome);
    void report(MessageIcon icon, const Text& text);
    // The messages waiting, once the window is up.
    void showPending();
    void takeRecoveryNotices();

    ProgramPaths paths_;
    MainView& view_;
    HostsEngine engine_;
    DirectHostsChange directChange_;
    HostsChangeRunner* changer_;
    LanguageFile languageFile_;
    std::string languageFolder_;
    UpdateCheck updateCheck_;
    StatusDisplay status_;
    bool windowUp_ = false;         // showStartupReports has run
    std::vector<Message> pending_;  // reports and notices, shown once the window is up
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace hushgate
