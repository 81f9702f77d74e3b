#include "hosts_change_text.h"

#include "messages.h"

namespace hushgate {

QString HostsChangeMessage(const HostsChangeOutcome& outcome, const QtLanguageFile& language) {
    using Result = HostsChangeOutcome::Result;
    // The reason is pkexec's or the helper's own line; without one, the
    // exit code is the only fact there is.
    QString reason = outcome.detail;
    if (reason.isEmpty()) {
        reason = outcome.exitCode < 0 ? QStringLiteral("pkexec was stopped")
                 : outcome.result == Result::NotAllowed
                     ? QStringLiteral("pkexec exit code %1").arg(outcome.exitCode)
                     : QStringLiteral("exit code %1").arg(outcome.exitCode);
    }
    switch (outcome.result) {
    case Result::NotAllowed:
        return language.message(messages::kChangeNotAllowed).arg(reason);
    case Result::HelperFailed:
        return language.message(messages::kChangeFailed).arg(reason);
    case Result::PkexecMissing:
        return language.message(messages::kPkexecMissing).arg(outcome.detail);
    case Result::HelperMissing:
        return language.message(messages::kHelperMissing).arg(outcome.detail);
    case Result::Done:
    case Result::Failed:
    case Result::Dismissed:
        break;
    }
    return {};
}

}  // namespace hushgate
