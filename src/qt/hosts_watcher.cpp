#include "hosts_watcher.h"

#include <QFileInfo>

namespace hushgate {

HostsWatcher::HostsWatcher(const QString& hostsPath, QObject* parent)
    : QObject(parent), path_(QFileInfo(hostsPath).absoluteFilePath()) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &HostsWatcher::changed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &HostsWatcher::onChange);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &HostsWatcher::onChange);
    const QString folder = QFileInfo(path_).absolutePath();
    if (QFileInfo(folder).isDir()) {
        watcher_.addPath(folder);
    }
    watchFile();
}

void HostsWatcher::onChange() {
    watchFile();
    settle_.start();
}

void HostsWatcher::watchFile() {
    // A file that is gone drops out of the watch; once it is back, watch it again.
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_)) {
        watcher_.addPath(path_);
    }
}

}  // namespace hushgate
