#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "hosts_engine.h"

namespace hushgate {

// How an ordinary user's window has the hosts file changed as root: pkexec
// runs the installed helper with the verb. Tests put a command of their own
// in its place; the program always uses absolute paths.
struct ElevatedCommand {
    QString program;      // pkexec
    QStringList options;  // pkexec's own options, before the helper
    QString helper;       // the helper; the verb follows it

    static ElevatedCommand installed();
};

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
    int exitCode = 0;
    QString detail;  // the line of standard error that says why, or a path
    std::optional<HostsError> error;
};

// Runs a Block or Unblock: in this process through the engine when it may
// write the file itself, otherwise through pkexec and the helper, without
// blocking the event loop. One change at a time.
class HostsChanger : public QObject {
    Q_OBJECT

public:
    enum class Verb { Block, Unblock };

    HostsChanger(HostsEngine& engine, QObject* parent = nullptr);
    ~HostsChanger() override;

    // Root writes the file itself, and so does anyone on a file other than
    // the system's hosts file (tests, other paths); everyone else asks pkexec.
    static bool needsElevation(const std::string& hostsPath);

    bool elevates() const { return command_.has_value(); }
    // Makes every change go through `command` (tests).
    void useElevation(ElevatedCommand command) { command_ = std::move(command); }
    bool running() const { return process_ != nullptr; }

    // Emits finished() once the change is over: before returning when the
    // engine does it here, later when another process does.
    void start(Verb verb);

signals:
    void finished(const hushgate::HostsChangeOutcome& outcome);

private:
    void changeHere(Verb verb);
    void processEnded(int exitCode, QProcess::ExitStatus status);

    HostsEngine& engine_;
    std::optional<ElevatedCommand> command_;
    QProcess* process_ = nullptr;
};

}  // namespace hushgate
