#pragma once

// What the hosts engine's tests (and the root helper's) share, on top of
// the temporary folders and whole-file reads and writes of test_files.h.

#include <csignal>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "block_list.h"
#include "hosts_engine.h"
#include "hosts_error.h"
#include "test_files.h"

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace hushgate::test {

// Joins lines, each followed by `terminator`.
template <typename Lines>
std::string joined(const Lines& lines, std::string_view terminator) {
    std::string text;
    for (std::string_view line : lines) {
        (text += line) += terminator;
    }
    return text;
}
// All block entries as lines, each followed by `terminator`.
inline std::string allEntries(std::string_view terminator = "\n") {
    return joined(BlockEntries(), terminator);
}
// A file with a line of the owner's before and after where the entries go.
inline const std::string kUnblocked = "# mine\n127.0.0.1 localhost\n";
inline const std::string kBlocked = "# mine\n" + allEntries() + "127.0.0.1 localhost\n";

// Makes `engine` raise `signal` when its write reaches `step`: a run
// killed or interrupted at the worst moment.
inline void raiseAt(HostsEngine& engine, WriteStep step, int signal) {
    engine.setWriteHook([=](WriteStep now) {
        if (now == step) {
            std::raise(signal);
        }
    });
}

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

// The file's bytes, metadata and modification time, to compare after a
// failure: one refused before its first byte leaves even the time.
inline auto pictureOf(const std::string& path) {
    return std::tuple(readFile(path), metadataOf(path),
                      std::filesystem::last_write_time(pathOf(path)));
}

#ifndef _WIN32
// Runs `body` in a forked child and returns its wait status: exit code 0,
// 98 after a failed expectation (reported by the child), 99 after an
// exception. Lets a test change process-wide state (mounts, limits, user) or
// be killed part way without affecting the rest of the run.
int waitStatusOfChild(const std::function<void()>& body);

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

// Makes standard output a pipe whose reading end is closed.
void toClosedPipe();

// Drops root rights for those of nobody; throws when that fails.
void becomeNobody();

// Blocks or unblocks `hosts` in a child that `signal` ends at `step` of the
// write; returns the child's wait status.
int cutShort(const std::string& hosts, bool block, WriteStep step, int signal,
             const std::string& recoveryFolder = {});
// An unblocking of `hosts` (a file so named) in place, as it gets a second
// name, `hosts`-link, killed half way; returns the record it left.
std::string killedInPlace(const std::string& hosts);
// The path of the entry of `folder` whose name starts with `prefix`, or "".
std::string entryOf(const std::string& folder, std::string_view prefix);

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
