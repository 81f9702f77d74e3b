#include "hosts_error_text.h"

#include "app_paths.h"
#include "messages.h"

namespace hushgate {

QString DescribeHostsError(const HostsError& error, const QtLanguageFile& language) {
    namespace m = messages;
    const QString path = fromNativePath(error.path());
    QString text;
    if (error.kind() == HostsError::Kind::ChangedByOther) {
        // The engine's reason is its own English sentence; ours says the same.
        text = language.message(m::kChangedByOther).arg(path);
    } else {
        // The system's reason, as the system gave it.
        const QString reason = fromNativePath(error.reason());
        text = language
                   .message(error.action() == HostsError::Action::Read ? m::kReadFailed
                                                                       : m::kWriteFailed)
                   .arg(path, reason);
    }
    if (!error.backupPath().empty()) {
        text += QLatin1Char(' ') +
                language.message(m::kOriginalSaved).arg(fromNativePath(error.backupPath()));
    } else if (error.action() == HostsError::Action::Write &&
               error.kind() != HostsError::Kind::ChangedByOther) {
        text += QLatin1Char(' ') + language.message(m::kFileUnchanged);
    }
    if (error.kind() == HostsError::Kind::PermissionDenied) {
#ifdef _WIN32
        text += QLatin1Char(' ') + language.message(m::kNeedAdministrator);
#else
        text += QLatin1Char(' ') + language.message(m::kNeedRoot);
#endif
    }
    return text;
}

}  // namespace hushgate
