#include "main_presenter.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "hosts_messages.h"
#include "messages.h"
#include "native_path.h"
#include "pe_resources.h"
#include "read_ini.h"
#include "settings_file.h"
#include "small_file.h"

namespace hushgate {

namespace {

std::string nativeSeparators(std::string path) {
#ifdef _WIN32
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
#endif
    return path;
}

}  // namespace

MainPresenter::MainPresenter(ProgramPaths paths, MainView& view)
    : paths_(std::move(paths)),
      view_(view),
      engine_(paths_.hostsFile, paths_.lineEnd),
      directChange_(engine_),
      changer_(&directChange_),
      updateCheck_(view) {
    engine_.setStatusHandlers([this] { ShowBlocked(); }, [this] { ShowUnblocked(); });
}

MainPresenter::~MainPresenter() {
    *alive_ = false;
}

void MainPresenter::load() {
    view_.SetIcon();
    chooseLanguage();
    LanguageMain();
    // Missing menu images are no reason to stop or to bother the user.
    view_.AttachMenuImages();
    view_.SetToolbarFlat();
    view_.DoEvents();
    loadIconLibrary();
    showHostsStatus(true);
    // The state word follows the status text at a fixed gap.
    view_.PlaceStateWord();
}

std::vector<std::string> ProgramPaths::dataFolders() const {
    std::vector<std::string> folders{programFolder};
    if (!installedDataFolder.empty() && installedDataFolder != programFolder) {
        folders.push_back(installedDataFolder);
    }
    return folders;
}

void MainPresenter::chooseLanguage() {
    // Language/ comes from the first folder that has one: a portable copy
    // keeps its own, an installed program uses the data folder.
    const std::vector<std::string> folders = paths_.dataFolders();
    std::string searched;
    languageFolder_.clear();
    for (const std::string& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_directory(FileSystemPath(folder + "/Language"), error)) {
            languageFolder_ = folder;
            break;
        }
        searched += (searched.empty() ? "" : ", ") + nativeSeparators(folder + "/Language");
    }
    // The language named in config.ini when it is a bare name whose file is
    // there, else English.
    lblSettingsLanguage = ReadINI("Settings", "Language", paths_.settingsFile);
    if (languageFolder_.empty()) {
        languageFolder_ = folders.front();  // the language dialog lists nothing
    } else {
        searched = nativeSeparators(languageFolder_ + "/Language");
    }
    // Each file is read once: the chosen one, and English only without it.
    const bool named = IsLanguageName(lblSettingsLanguage);
    if (named) {
        languageFile_ = LanguageFile::inProgramFolder(languageFolder_, lblSettingsLanguage);
    }
    if (!named || !languageFile_.exists()) {
        lblSettingsLanguage = "English";
        languageFile_ = LanguageFile::inProgramFolder(languageFolder_, lblSettingsLanguage);
    }
    if (!languageFile_.exists()) {
        // Not even English.lng: the English compiled in, and the user is told.
        languageFile_ = LanguageFile::builtInEnglish();
        pending_.push_back({MessageIcon::Warning, kTitle,
                            languageFile_.message(messages::kLanguageFilesMissing).arg(searched)});
    } else if (!languageFile_.problem().empty()) {
        // There but no language file: English, and the choice in config.ini
        // stays for when the file is put right.
        const Text file(nativeSeparators(languageFile_.path()));
        const Text reason(languageFile_.problem());
        languageFile_ = LanguageFile::builtInEnglish();
        pending_.push_back(
            {MessageIcon::Warning, kTitle,
             languageFile_.message(messages::kLanguageFileDamaged).arg(file, reason)});
    }
}

void MainPresenter::loadIconLibrary() {
    // The first resources.dll there is, whatever else it lacks: one that
    // cannot be used is reported as such, not as missing.
    for (const std::string& folder : paths_.dataFolders()) {
        const std::string library = folder + "/resources.dll";
        std::error_code error;
        if (!std::filesystem::exists(FileSystemPath(library), error)) {
            continue;
        }
        if (!view_.GetIconsFromLibrary(library)) {
            // The toolbar stays without images.
            const SmallFile file = ReadSmallFile(library, kMaxLibraryFileSize);
            const Text reason(file.read() ? "not a resource library" : file.reason);
            pending_.push_back({MessageIcon::Critical, kTitle,
                                languageFile_.message(messages::kResourcesDamaged)
                                    .arg(Text(nativeSeparators(library)), reason)});
        }
        return;
    }
    pending_.push_back(
        {MessageIcon::Critical, kTitle, languageFile_.message(messages::kResourcesMissing)});
}

void MainPresenter::showStartupReports() {
    windowUp_ = true;
    showPending();
}

void MainPresenter::showPending() {
    const std::shared_ptr<bool> alive = alive_;
    while (windowUp_ && !pending_.empty()) {
        const Message message = pending_.front();
        pending_.erase(pending_.begin());
        view_.showMessage(message);
        if (!*alive) {
            return;
        }
    }
}

void MainPresenter::report(MessageIcon icon, const Text& text) {
    view_.showMessage({icon, kTitle, text});
}

void MainPresenter::takeRecoveryNotices() {
    // Told once each, after the engine call that made them has returned.
    for (const RecoveryNotice& notice : engine_.TakeRecoveryNotices()) {
        pending_.push_back(
            {MessageIcon::Warning, kTitle, RecoveryNoticeMessage(notice, languageFile_)});
    }
}

void MainPresenter::showHostsStatus(bool reportFailure) {
    std::optional<HostsError> failure;
    try {
        engine_.LoadHostsList();
        engine_.FillBlockList();
        engine_.CheckStatus();
    } catch (const HostsError& error) {
        ShowUnknown(languageFile_.message(messages::kReadFailed)
                        .arg(Text(error.path()), Text(error.reason())));
        failure = error;
    }
    takeRecoveryNotices();
    if (failure && reportFailure) {
        pending_.push_back(
            {MessageIcon::Critical, kTitle, DescribeHostsError(*failure, languageFile_)});
    }
    showPending();
}

void MainPresenter::show(const StatusDisplay& status) {
    status_ = status;
    view_.showStatus(status_);
}

void MainPresenter::ShowBlocked() {
    show({HostsState::Blocked, true, false, true, false, languageFile_.text("Main", "11"), false,
          true, Text()});
}

void MainPresenter::ShowUnblocked() {
    // A file holding some of the entries is not blocked; the tool tip says
    // how much of the block is there.
    const std::size_t found = engine_.FoundCount();
    const Text detail = found == 0 ? Text()
                                   : languageFile_.message(messages::kPartlyBlocked)
                                         .arg(Text(std::to_string(found)),
                                              Text(std::to_string(engine_.lvEntries().size())));
    show({HostsState::Unblocked, false, true, false, true, languageFile_.text("Main", "12"), true,
          false, detail});
}

void MainPresenter::ShowUnknown(const Text& reason) {
    // A key added later: files made before it show the English word.
    show({HostsState::Unknown, false, false, false, false,
          languageFile_.textOrEnglish("Main", "19"), false, false, reason});
}

void MainPresenter::hostsFileChanged() {
    if (changeRunning()) {
        // Its outcome shows what the file holds once it is done: the engine
        // reads the file back after its own write, and a change made by
        // another process is followed by a fresh read.
        return;
    }
    showHostsStatus(false);
}

void MainPresenter::blockClicked() {
    applyHostsChange(HostsVerb::Block);
}

void MainPresenter::unblockClicked() {
    applyHostsChange(HostsVerb::Unblock);
}

void MainPresenter::applyHostsChange(HostsVerb verb) {
    if (changeRunning()) {
        return;
    }
    // Nothing to press until the change is over; the outcome sets them again.
    view_.setCommandsEnabled(false, false);
    const std::shared_ptr<bool> alive = alive_;
    changer_->start(verb, [this, alive](const HostsChangeOutcome& outcome) {
        if (*alive) {
            hostsChangeFinished(outcome);
        }
    });
}

void MainPresenter::hostsChangeFinished(const HostsChangeOutcome& outcome) {
    takeRecoveryNotices();
    showPending();
    if (outcome.error) {
        report(MessageIcon::Critical, DescribeHostsError(*outcome.error, languageFile_));
        // Show what the file on disk holds now; if it cannot be read, the
        // message just shown has said why.
        showHostsStatus(false);
        return;
    }
    if (outcome.elevated) {
        // Another process wrote (or did not write) the file: show what it holds.
        showHostsStatus(true);
    }
    if (outcome.result == HostsChangeOutcome::Result::Done) {
        report(MessageIcon::Information, lblCloseBrowser_JP);
        return;
    }
    const Text text = HostsChangeMessage(outcome, languageFile_);
    if (!text.empty()) {
        report(MessageIcon::Critical, text);
    }
}

bool MainPresenter::SaveSettings() {
    std::string reason;
    if (hushgate::SaveSettings(paths_.settingsFile, lblSettingsLanguage, &reason)) {
        return true;
    }
    report(MessageIcon::Warning, languageFile_.message(messages::kSettingsNotSaved)
                                     .arg(nativeSeparators(paths_.settingsFile), reason));
    return false;
}

void MainPresenter::unload() {
    SaveSettings();
    view_.UnloadAllForms();
}

}  // namespace hushgate
