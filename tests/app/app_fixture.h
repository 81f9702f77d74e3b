#pragma once

#include <QMessageBox>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include "app_paths.h"
#include "message_box.h"

namespace hushgate::test {

// A program folder with the shipped language files and resources.dll, a settings file
// location and a hosts file, all in a temporary folder.
class TestProgram {
public:
    TestProgram();

    AppPaths paths() const;
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString hostsPath() const { return path(QStringLiteral("hosts")); }
    QString settingsPath() const { return path(QStringLiteral("config/config.ini")); }

    void writeHosts(const QByteArray& bytes) const { write(hostsPath(), bytes); }
    QByteArray hosts() const { return read(hostsPath()); }
    static void write(const QString& path, const QByteArray& bytes);
    static QByteArray read(const QString& path);

private:
    QTemporaryDir dir_;
};

// Answers every message box with OK and keeps what it would have shown.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    QList<MessageBox::Shown> shown;
};

// All block entries, each followed by LF.
QByteArray allEntries();

}  // namespace hushgate::test
