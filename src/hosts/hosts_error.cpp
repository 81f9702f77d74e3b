#include "hosts_error.h"

namespace hushgate {

namespace {

std::string composeMessage(HostsError::Action action, const std::string& path,
                           const std::string& reason, const std::string& backupPath) {
    std::string message = action == HostsError::Action::Read ? "cannot read " : "cannot write ";
    message += path;
    message += ": ";
    message += reason;
    if (!backupPath.empty()) {
        message += "; the original file is saved as ";
        message += backupPath;
    }
    return message;
}

}  // namespace

HostsError::HostsError(Action action, Kind kind, std::string path, int osError, std::string reason,
                       std::string backupPath)
    : std::runtime_error(composeMessage(action, path, reason, backupPath)),
      action_(action),
      kind_(kind),
      path_(std::move(path)),
      osError_(osError),
      reason_(std::move(reason)),
      backupPath_(std::move(backupPath)) {}

}  // namespace hushgate
