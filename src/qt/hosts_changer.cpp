#include "hosts_changer.h"

#include <QFileInfo>
#include <utility>

#include "app_paths.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace hushgate {

namespace {

// pkexec's own codes; the helper never uses them.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAllowed = 127;

// The lines as the encoding of file names has them, which is how the
// presenter takes the program's own texts.
std::vector<std::string> stderrLines(const QByteArray& bytes) {
    std::vector<std::string> lines;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString text = QString::fromLocal8Bit(line).trimmed();
        if (!text.isEmpty()) {
            lines.push_back(toNativePath(text.left(500)));
        }
    }
    return lines;
}

}  // namespace

ElevatedCommand ElevatedCommand::installed() {
    // --disable-internal-agent: never a password prompt on a terminal the
    // window was started from; the desktop's authentication agent asks.
    return {QStringLiteral(HUSHGATE_PKEXEC),
            {QStringLiteral("--disable-internal-agent")},
            QStringLiteral(HUSHGATE_HELPER_PATH)};
}

HostsChanger::HostsChanger(HostsEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    if (needsElevation(engine_.hostsPath())) {
        command_ = ElevatedCommand::installed();
    }
}

HostsChanger::~HostsChanger() = default;

bool HostsChanger::needsElevation(const std::string& hostsPath) {
#ifdef _WIN32
    // The manifest has the whole program run as administrator.
    (void)hostsPath;
    return false;
#else
    return ::geteuid() != 0 && hostsPath == SystemHostsPath();
#endif
}

void HostsChanger::start(HostsVerb verb, Finished finished) {
    if (running()) {
        return;
    }
    finished_ = std::move(finished);
    if (!command_) {
        finish(DirectHostsChange::run(engine_, verb));
        return;
    }
    HostsChangeOutcome outcome;
    outcome.elevated = true;
    if (!QFileInfo(command_->program).isExecutable()) {
        outcome.result = HostsChangeOutcome::Result::PkexecMissing;
        outcome.detail = toNativePath(command_->program);
    } else if (!QFileInfo::exists(command_->helper)) {
        outcome.result = HostsChangeOutcome::Result::HelperMissing;
        outcome.detail = toNativePath(command_->helper);
    } else {
        process_ = new QProcess(this);
        process_->setStandardInputFile(QProcess::nullDevice());
        process_->setStandardOutputFile(QProcess::nullDevice());
        connect(process_, &QProcess::finished, this, &HostsChanger::processEnded);
        connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                processEnded(-1, QProcess::CrashExit);
            }
        });
        process_->start(
            command_->program,
            command_->options + QStringList{command_->helper, verb == HostsVerb::Block
                                                                  ? QStringLiteral("block")
                                                                  : QStringLiteral("unblock")});
        return;
    }
    finish(outcome);
}

void HostsChanger::finish(const HostsChangeOutcome& outcome) {
    if (Finished finished = std::exchange(finished_, {})) {
        finished(outcome);
    }
}

void HostsChanger::processEnded(int exitCode, QProcess::ExitStatus status) {
    QProcess* process = std::exchange(process_, nullptr);
    if (process == nullptr) {
        return;  // failed to start and already reported
    }
    process->disconnect(this);
    process->deleteLater();

    HostsChangeOutcome outcome;
    outcome.elevated = true;
    outcome.exitCode = exitCode;
    const std::vector<std::string> lines = stderrLines(process->readAllStandardError());
    const std::string first = lines.empty() ? std::string() : lines.front();
    const std::string last = lines.empty() ? std::string() : lines.back();
    if (process->error() == QProcess::FailedToStart) {
        outcome.result = HostsChangeOutcome::Result::PkexecMissing;
        outcome.detail = toNativePath(command_->program);
    } else if (status == QProcess::CrashExit) {
        outcome.result = HostsChangeOutcome::Result::HelperFailed;
        outcome.exitCode = -1;
        outcome.detail = last;
    } else if (exitCode == 0) {
        outcome.result = HostsChangeOutcome::Result::Done;
    } else if (exitCode == kPkexecDismissed) {
        outcome.result = HostsChangeOutcome::Result::Dismissed;
    } else if (exitCode == kPkexecNotAllowed) {
        // pkexec says what went wrong first and adds remarks after it
        // ("This incident has been reported.").
        outcome.result = HostsChangeOutcome::Result::NotAllowed;
        outcome.detail = first;
    } else {
        // The helper's one line comes last, after anything pkexec said.
        outcome.result = HostsChangeOutcome::Result::HelperFailed;
        static const std::string prefix = "hushgate-helper: ";
        outcome.detail = last.starts_with(prefix) ? last.substr(prefix.size()) : last;
    }
    finish(outcome);
}

}  // namespace hushgate
