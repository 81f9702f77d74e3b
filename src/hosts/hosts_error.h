#pragma once

#include <stdexcept>
#include <string>

namespace hushgate {

// A failure to read or write a hosts file. Carries the file's path and the
// operating system's reason so that a front end can show one clear line.
class HostsError : public std::runtime_error {
public:
    enum class Kind {
        NotFound,
        PermissionDenied,
        ReadOnlyFileSystem,
        DiskFull,
        ChangedByOther,  // another program changed the file while we were updating it
        Other,
    };
    enum class Action { Read, Write };

    // `osError` is an errno value (or a Windows error code on Windows);
    // `reason` is the system's description of it. `note` is appended to the
    // message, e.g. where a copy of the original was saved.
    HostsError(Action action, Kind kind, std::string path, int osError, std::string reason,
               std::string backupPath = {});

    Kind kind() const { return kind_; }
    Action action() const { return action_; }
    const std::string& path() const { return path_; }
    int osError() const { return osError_; }
    const std::string& reason() const { return reason_; }
    // Non-empty when the original file was saved beside the hosts file and
    // still needs to be recovered from there.
    const std::string& backupPath() const { return backupPath_; }

private:
    Action action_;
    Kind kind_;
    std::string path_;
    int osError_;
    std::string reason_;
    std::string backupPath_;
};

}  // namespace hushgate
