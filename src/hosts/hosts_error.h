#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace hushgate {

// A failure to read or write a file through the engine (the hosts file; the
// settings file is saved the same way). Carries the file's path and the
// reason so that a front end can show one clear line.
class HostsError : public std::runtime_error {
public:
    enum class Kind {
        NotFound,
        PermissionDenied,
        ReadOnlyFileSystem,
        // The file itself carries a mark that forbids writing it (the
        // read-only attribute on Windows; immutable or append-only on Linux),
        // which administrator rights do not override.
        MarkedReadOnly,
        DiskFull,
        ChangedByOther,  // another program changed the file while we were updating it
        HeldByOther,  // another run kept our writers' lock past the wait; osError is its pid (or 0)
        OutOfMemory,
        Other,
    };
    enum class Action { Read, Write };

    // `osError` is an errno value (or a Windows error code on Windows), 0
    // where the engine itself refused; `reason` is the system's description
    // of it or the engine's own. `backupPath` names a copy of the original
    // that is still needed to recover the file.
    HostsError(Action action, Kind kind, std::string path, int osError, std::string reason,
               std::string backupPath = {});

    // "not enough memory to read FILE (SIZE)" (or "to change").
    static HostsError OutOfMemory(Action action, std::string path, std::uint64_t size);

    Kind kind() const { return kind_; }
    Action action() const { return action_; }
    const std::string& path() const { return path_; }
    int osError() const { return osError_; }
    const std::string& reason() const { return reason_; }
    // Non-empty when the original file is kept beside the hosts file (or in
    // the recovery folder) and has not been put back yet; the next run that
    // may change the file puts it back.
    const std::string& backupPath() const { return backupPath_; }

private:
    HostsError(const std::string& message, Action action, Kind kind, const std::string& path,
               int osError, const std::string& reason, const std::string& backupPath);

    Action action_;
    Kind kind_;
    std::string path_;
    int osError_;
    std::string reason_;
    std::string backupPath_;
};

// The command that clears the read-only mark of `path` (see Kind::MarkedReadOnly),
// with the path quoted as its shell needs it.
std::string ClearReadOnlyCommand(const std::string& path);

// The reason the engine gives for a file marked read-only: what the mark is,
// and the command that clears it.
std::string MarkedReadOnlyReason(const std::string& path);

// Whether this process already has the rights that advice to "run as root"
// or "as administrator" would give it: root as effective user, or on
// Windows an elevated token.
bool RunsWithAdministratorRights();

// `text` with control characters written as escapes ("\n", "\t", "\x1b"), so
// that a file name can never break a message into several lines.
std::string EscapeControlCharacters(std::string_view text);

// A byte count for people: "812 bytes", "76.3 MiB".
std::string DescribeSize(std::uint64_t bytes);

}  // namespace hushgate
