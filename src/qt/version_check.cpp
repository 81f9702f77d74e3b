#include "version_check.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMetaObject>
#include <QStringList>

namespace hushgate {

namespace {

// The module's entry point, looked for beside the program (the build tree,
// a portable copy) and then where the package installs it. Loaded once and
// kept for the life of the process: fetchers made by it may live until exit.
MakeVersionFetcher networkModule() {
    static const MakeVersionFetcher make = [] {
        const QStringList folders = {QCoreApplication::applicationDirPath(),
                                     QStringLiteral(HUSHGATE_MODULE_DIR)};
        for (const QString& folder : folders) {
            QLibrary module(folder + QStringLiteral("/hushgate-network"));
            if (auto entry =
                    reinterpret_cast<MakeVersionFetcher>(module.resolve(kMakeVersionFetcher))) {
                return entry;
            }
        }
        return MakeVersionFetcher(nullptr);
    }();
    return make;
}

}  // namespace

VersionCheck::VersionCheck(QObject* owner, Answered answered, std::chrono::milliseconds timeout)
    : QObject(owner), answered_(std::move(answered)), timeout_(timeout) {}

VersionCheck::~VersionCheck() = default;

void VersionCheck::start(quint64 check, const QUrl& versionFile) {
    if (fetcher_ == nullptr) {
        if (const MakeVersionFetcher make = networkModule()) {
            fetcher_.reset(make(answered_, timeout_));
        }
    }
    if (fetcher_ != nullptr) {
        fetcher_->start(check, versionFile);
        return;
    }
    // Without the module there is no network: the check fails as it does
    // without a connection, after this call has returned.
    QMetaObject::invokeMethod(
        this,
        [this, check] {
            if (answered_) {
                answered_(check, std::nullopt);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace hushgate
