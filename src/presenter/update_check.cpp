#include "update_check.h"

#include "version_text.h"

namespace hushgate {

void UpdateCheck::start() {
    waiting_ = true;
    view_.startVersionRequest(++current_, settings.versionFile);
}

std::optional<UpdateOutcome> UpdateCheck::answered(std::uint64_t check,
                                                   const std::optional<std::string>& body,
                                                   const UpdateCheckTexts& texts) {
    if (check != current_ || !waiting_) {
        return std::nullopt;  // replaced by a newer check in the meantime
    }
    if (!body) {
        waiting_ = false;
        return UpdateOutcome::Failed;
    }
    const VersionVerdict verdict = EvaluateVersionText(*body, settings.ownMajor, settings.ownMinor);
    const std::shared_ptr<bool> alive = alive_;
    UpdateOutcome outcome = UpdateOutcome::NoUpdate;
    if (verdict.newer) {
        outcome = UpdateOutcome::NewVersion;
        // Line feeds: message boxes break lines at LF on every platform.
        const Message question{MessageIcon::Question, texts.title,
                               texts.newVersion + "\n" + texts.version + " " +
                                   Text(verdict.version) + "\n\n" + texts.download,
                               MessageButtons::YesNo};
        const MessageAnswer answer = view_.showMessage(question);
        if (*alive && answer == MessageAnswer::Yes) {
            view_.openAddress(Text(settings.homePage));
        }
    } else {
        view_.showMessage({MessageIcon::Information, texts.title, texts.noUpdate});
    }
    if (!*alive) {
        return std::nullopt;  // the window closed while the message was open
    }
    // A check started while the message was open stays in progress.
    if (check == current_) {
        waiting_ = false;
    }
    return outcome;
}

}  // namespace hushgate
