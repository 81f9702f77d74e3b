#pragma once

#include <functional>
#include <optional>
#include <string>

#include "hosts_engine.h"

namespace hushgate {

enum class HostsVerb { Block, Unblock };

// How a Block or Unblock ended.
struct HostsChangeOutcome {
    enum class Result {
        Done,           // changed (for an elevated change: the helper says so)
        Failed,         // the engine failed in this process: see `error`
        Dismissed,      // the user closed the password dialog (pkexec 126)
        NotAllowed,     // pkexec 127: not authorised, no authentication agent, no system bus
        HelperFailed,   // any other exit code, or pkexec ended by a signal
        PkexecMissing,  // `detail` is its path
        HelperMissing,  // `detail` is its path
    };
    Result result = Result::Done;
    bool elevated = false;  // the file was changed by another process
    int exitCode = 0;       // -1: the process was stopped by a signal
    // The line of standard error that says why, or a path; in the encoding
    // of file names.
    std::string detail;
    std::optional<HostsError> error;
};

// Runs the change itself; the front end chooses how. One change at a time.
class HostsChangeRunner {
public:
    using Finished = std::function<void(const HostsChangeOutcome&)>;

    virtual ~HostsChangeRunner() = default;
    // Calls `finished` once the change is over: before returning when it is
    // made in this process, later when another process makes it.
    virtual void start(HostsVerb verb, Finished finished) = 0;
    virtual bool running() const = 0;
};

// Changes the file in this process through the engine: on Windows (the
// manifest has the program run as administrator), as root, and on a file
// other than the system's.
class DirectHostsChange : public HostsChangeRunner {
public:
    explicit DirectHostsChange(HostsEngine& engine) : engine_(engine) {}

    void start(HostsVerb verb, Finished finished) override;
    bool running() const override { return false; }

    // The change made here, and how it ended.
    static HostsChangeOutcome run(HostsEngine& engine, HostsVerb verb);

private:
    HostsEngine& engine_;
};

}  // namespace hushgate
