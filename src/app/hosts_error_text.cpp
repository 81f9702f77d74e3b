#include "hosts_error_text.h"

#include "app_paths.h"

namespace hushgate {

QString DescribeHostsError(const HostsError& error) {
    QString text = fromNativePath(error.what());
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    text += QLatin1Char('.');
    if (!error.backupPath().empty()) {
        text += QStringLiteral(" Copy it back over the hosts file.");
    } else if (error.action() == HostsError::Action::Write &&
               error.kind() != HostsError::Kind::ChangedByOther) {
        text += QStringLiteral(" The hosts file is unchanged.");
    }
    if (error.kind() == HostsError::Kind::PermissionDenied) {
#ifdef _WIN32
        text += QStringLiteral(" Start Tavrin Hushgate as administrator to change it.");
#else
        text += QStringLiteral(" Start Tavrin Hushgate as root to change it.");
#endif
    }
    return text;
}

}  // namespace hushgate
