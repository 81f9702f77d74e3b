#include "main_presenter.h"

#include <optional>
#include <utility>

#include "hosts_messages.h"
#include "messages.h"
#include "read_ini.h"
#include "settings_file.h"

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
    if (!view_.GetIconsFromLibrary(paths_.programFolder + "/resources.dll")) {
        // The toolbar stays without images.
        pending_.push_back({MessageIcon::Critical, kTitle, "\"Resources.dll\" is missing!"});
    }
    showHostsStatus(true);
    // The state word follows the status text at a fixed gap.
    view_.PlaceStateWord();
}

void MainPresenter::chooseLanguage() {
    // The language in force: the one named in config.ini if it is a bare
    // name and its file exists, else English.
    lblSettingsLanguage = ReadINI("Settings", "Language", paths_.settingsFile);
    if (!IsLanguageName(lblSettingsLanguage) ||
        !LanguageFile::inProgramFolder(paths_.programFolder, lblSettingsLanguage).exists()) {
        lblSettingsLanguage = "English";
    }
    languageFile_ = LanguageFile::inProgramFolder(paths_.programFolder, lblSettingsLanguage);
    if (!languageFile_.exists()) {
        // Not even English.lng: the English compiled in, and the user is told.
        languageFile_ = LanguageFile::builtInEnglish();
        const std::string folder = nativeSeparators(paths_.programFolder + "/Language");
        pending_.push_back({MessageIcon::Warning, kTitle,
                            languageFile_.message(messages::kLanguageFilesMissing).arg(folder)});
    }
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
        ShowUnknown();
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
          true});
}

void MainPresenter::ShowUnblocked() {
    show({HostsState::Unblocked, false, true, false, true, languageFile_.text("Main", "12"), true,
          false});
}

void MainPresenter::ShowUnknown() {
    // A key added later: files made before it show the English word.
    show({HostsState::Unknown, false, false, false, false,
          languageFile_.textOrEnglish("Main", "19"), false, false});
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
