#include "hosts_messages.h"

#include <string>

#include "messages.h"

namespace hushgate {

Text DescribeHostsError(const HostsError& error, const LanguageFile& language, bool elevated) {
    namespace m = messages;
    const Text path(error.path());
    Text text;
    // The engine's reason for these is its own English sentence; ours says the same.
    if (error.kind() == HostsError::Kind::ChangedByOther) {
        text = language.message(m::kChangedByOther).arg(path);
    } else if (error.kind() == HostsError::Kind::MarkedReadOnly) {
        text = language.message(m::kMarkedReadOnly)
                   .arg(path, Text(ClearReadOnlyCommand(error.path())));
    } else if (error.kind() == HostsError::Kind::HeldByOther) {
        const std::string pid =
            error.osError() > 0 ? " (pid " + std::to_string(error.osError()) + ")" : "";
        return language.message(m::kHeldByOther).arg(path, Text(pid));
    } else {
        // The system's reason, as the system gave it.
        text = language
                   .message(error.action() == HostsError::Action::Read ? m::kReadFailed
                                                                       : m::kWriteFailed)
                   .arg(path, Text(error.reason()));
    }
    if (!error.backupPath().empty()) {
        text += " " + language.message(m::kOriginalSaved).arg(Text(error.backupPath()));
    } else if (error.action() == HostsError::Action::Write &&
               error.kind() != HostsError::Kind::ChangedByOther) {
        text += " " + language.message(m::kFileUnchanged);
    }
    if (error.kind() == HostsError::Kind::PermissionDenied && !elevated) {
#ifdef _WIN32
        text += " " + language.message(m::kNeedAdministrator);
#else
        text += " " + language.message(m::kNeedRoot);
#endif
    }
    return text;
}

Text RecoveryNoticeMessage(const RecoveryNotice& notice, const LanguageFile& language) {
    using What = RecoveryNotice::What;
    const char* key = notice.what == What::SetAside  ? messages::kRecordSetAside
                      : notice.what == What::Ignored ? messages::kRecordIgnored
                                                     : messages::kChangeRolledBack;
    return language.message(key).arg(Text(notice.file), Text(notice.tornCopy));
}

Text HostsChangeMessage(const HostsChangeOutcome& outcome, const LanguageFile& language) {
    using Result = HostsChangeOutcome::Result;
    // The reason is pkexec's or the helper's own line; without one, the
    // exit code is the only fact there is.
    std::string reason = outcome.detail;
    if (reason.empty()) {
        const std::string code = std::to_string(outcome.exitCode);
        reason = outcome.exitCode < 0                   ? "pkexec was stopped"
                 : outcome.result == Result::NotAllowed ? "pkexec exit code " + code
                                                        : "exit code " + code;
    }
    switch (outcome.result) {
        case Result::NotAllowed:
            return language.message(messages::kChangeNotAllowed).arg(Text(reason));
        case Result::HelperFailed:
            return language.message(messages::kChangeFailed).arg(Text(reason));
        case Result::PkexecMissing:
            return language.message(messages::kPkexecMissing).arg(Text(outcome.detail));
        case Result::HelperMissing:
            return language.message(messages::kHelperMissing).arg(Text(outcome.detail));
        case Result::Done:
        case Result::Failed:
        case Result::Dismissed:
            break;
    }
    return {};
}

}  // namespace hushgate
