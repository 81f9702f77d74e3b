#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "hosts_change.h"
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

// Runs a Block or Unblock: in this process through the engine when it may
// write the file itself, otherwise through pkexec and the helper, without
// blocking the event loop. One change at a time.
class HostsChanger : public QObject, public HostsChangeRunner {
    Q_OBJECT

public:
    explicit HostsChanger(HostsEngine& engine, QObject* parent = nullptr);
    ~HostsChanger() override;

    // Root writes the file itself, and so does anyone on a file other than
    // the system's hosts file (tests, other paths); everyone else asks pkexec.
    static bool needsElevation(const std::string& hostsPath);

    bool elevates() const { return command_.has_value(); }
    // Makes every change go through `command` (tests).
    void useElevation(ElevatedCommand command) { command_ = std::move(command); }

    void start(HostsVerb verb, Finished finished) override;
    bool running() const override { return process_ != nullptr; }

private:
    void processEnded(int exitCode, QProcess::ExitStatus status);
    void finish(const HostsChangeOutcome& outcome);

    HostsEngine& engine_;
    std::optional<ElevatedCommand> command_;
    QProcess* process_ = nullptr;
    Finished finished_;
};

}  // namespace hushgate
