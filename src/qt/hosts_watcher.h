#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace hushgate {

// Tells when the hosts file may have changed on disk, whoever changed it
// (another window, hushgate-cli, an editor). It watches the file and its
// folder: a file replaced by a rename, as careful writers do, is a new file
// whose old watch is gone, and a removed file can only come back into the
// folder. A burst of changes is reported once, kSettleMs after the last.
class HostsWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettleMs = 200;

    HostsWatcher(const QString& hostsPath, QObject* parent);

signals:
    void changed();

private:
    void onChange();
    void watchFile();

    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace hushgate
