#include "hosts_change_text.h"

namespace hushgate {

QString HostsChangeMessage(const HostsChangeOutcome& outcome) {
    using Result = HostsChangeOutcome::Result;
    switch (outcome.result) {
    case Result::NotAllowed:
        return QStringLiteral("Tavrin Hushgate was not allowed to change the hosts file: %1")
            .arg(outcome.detail.isEmpty()
                     ? QStringLiteral("pkexec exit code %1").arg(outcome.exitCode)
                     : outcome.detail);
    case Result::HelperFailed:
        return QStringLiteral("The hosts file could not be changed: %1")
            .arg(outcome.detail.isEmpty()
                     ? (outcome.exitCode < 0 ? QStringLiteral("pkexec was stopped")
                                             : QStringLiteral("exit code %1").arg(outcome.exitCode))
                     : outcome.detail);
    case Result::PkexecMissing:
        return QStringLiteral(
                   "The hosts file can only be changed with administrator rights, and the program "
                   "that asks for them (%1) is not installed. Install the package \"pkexec\", or "
                   "start Tavrin Hushgate as root.")
            .arg(outcome.detail);
    case Result::HelperMissing:
        return QStringLiteral(
                   "The hosts file can only be changed with administrator rights, and Tavrin "
                   "Hushgate's helper (%1) is not installed. Install Tavrin Hushgate's package, or "
                   "start it as root.")
            .arg(outcome.detail);
    case Result::Done:
    case Result::Failed:
    case Result::Dismissed:
        break;
    }
    return {};
}

}  // namespace hushgate
