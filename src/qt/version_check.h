#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace hushgate {

// What fetches the version file: the HTTP request, which lives in a module
// of its own (hushgate-network) so that the network libraries are loaded
// when the first check starts, not before the window's first frame.
class VersionFetcher {
public:
    virtual ~VersionFetcher() = default;
    virtual void start(quint64 check, const QUrl& versionFile) = 0;
    virtual bool isWaiting() const = 0;
};

// The request of "Check for updates...": fetches the version file in the
// background and hands back what came, for the presenter to evaluate
// (UpdateCheck). Only one request is tracked: starting another abandons the
// one in progress, whose answer is then never handed back.
class VersionCheck : public QObject {
    Q_OBJECT

public:
    // `body`: the answer of a successful (2xx) request, or nothing when it
    // failed (no connection, time-out, another status, an answer too large
    // to be a version file, no network module). Called once the network's
    // own signal has returned, so it may start another request or show a
    // message.
    using Answered = std::function<void(quint64 check, const std::optional<QByteArray>& body)>;

    // How long each step may take: resolving the name, connecting and
    // sending the request, the answer's first bytes, each further block.
    static constexpr std::chrono::milliseconds kTimeout{2000};

    VersionCheck(QObject* owner, Answered answered, std::chrono::milliseconds timeout = kTimeout);
    ~VersionCheck() override;

    void start(quint64 check, const QUrl& versionFile);
    // A request is in progress.
    bool isWaiting() const { return fetcher_ != nullptr && fetcher_->isWaiting(); }

private:
    Answered answered_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<VersionFetcher> fetcher_;
};

// The network module's one entry point (C linkage, so it is found by name).
using MakeVersionFetcher = VersionFetcher* (*)(const VersionCheck::Answered& answered,
                                               std::chrono::milliseconds timeout);
inline constexpr const char* kMakeVersionFetcher = "hushgate_make_version_fetcher";

}  // namespace hushgate
