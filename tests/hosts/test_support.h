#pragma once

// What the hosts engine's tests (and the root helper's) share, on top of
// the temporary folders and whole-file reads and writes of test_files.h.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "hosts_error.h"
#include "test_files.h"

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace hushgate::test {

// Joins lines, each followed by `terminator`.
std::string joined(const std::vector<std::string>& lines, std::string_view terminator);
// All block entries as lines, each followed by `terminator`.
std::string allEntries(std::string_view terminator = "\n");

// Runs `operation` and returns the HostsError it throws, if any.
template <typename Operation>
std::optional<HostsError> errorOf(Operation operation) {
    try {
        operation();
    } catch (const HostsError& error) {
        return error;
    }
    return std::nullopt;
}

// Which file `path` names (inode, or Windows' file index): another file put
// in its place has another.
std::uint64_t fileIdOf(const std::string& path);

// What a file carries besides its bytes, all of which a write must keep:
// mode, owner and extended attributes (an ACL is one) on POSIX, the
// attributes on Windows.
struct Metadata {
#ifdef _WIN32
    std::uint32_t attributes = 0;
#else
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    std::map<std::string, std::string> extended;
#endif
    bool operator==(const Metadata&) const = default;
};
Metadata metadataOf(const std::string& path);

// The file's bytes and metadata, to compare after a failure.
struct Picture {
    std::string bytes;
    Metadata metadata;
    bool operator==(const Picture&) const = default;
};
Picture pictureOf(const std::string& path);

// Holds a file open as a program at work on it would: locked (POSIX), or
// shared with nobody, or with readers only (Windows).
class FileInUse {
public:
    explicit FileInUse(const std::string& path, bool othersMayRead = false);
    ~FileInUse();
    FileInUse(const FileInUse&) = delete;
    FileInUse& operator=(const FileInUse&) = delete;

private:
    std::intptr_t handle_;
};

#ifndef _WIN32
// Runs `body` in a forked child and returns its wait status; an exception
// leaves with exit code 99. Lets a test change process-wide state (mounts,
// limits, user) or be killed part way without affecting the rest of the run.
int waitStatusOfChild(const std::function<void()>& body);

// Runs `body` in a forked child: an empty string for success, otherwise a
// description of what went wrong (what `body` returned or threw).
std::string runInChild(const std::function<std::string()>& body);

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Runs `program` with `arguments` and nothing to read, after `inChild` (in
// the child: drop root, enter a namespace); output goes through files in
// `scratch`.
ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const TempFolder& scratch, const std::function<void()>& inChild = {});

// A copy of `program` in `dir`, which is opened to every user: an ordinary
// user can run it wherever the build is.
std::string copyForAll(const std::string& program, const TempFolder& dir);

// Drops root rights for those of nobody; throws when that fails.
void becomeNobody();

// Runs a shell command quietly, with $F and $D set to `file` and `folder`;
// true when it succeeded.
bool shell(const std::string& command, const std::string& file = {},
           const std::string& folder = {});

// In a child: gives the process its own mount namespace, so that mounts made
// afterwards vanish with it; throws where that is not allowed (not root).
void enterPrivateMountNamespace();
// mount(2), throwing when it fails.
void mountOrThrow(const std::string& source, const std::string& target, const char* type,
                  unsigned long flags, const char* data = nullptr);
// True when this process may create mount namespaces (checked in a child).
bool canUseMountNamespaces();
#endif

}  // namespace hushgate::test
