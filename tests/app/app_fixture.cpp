#include "app_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "block_list.h"

namespace hushgate::test {

TestProgram::TestProgram() {
    QDir(dir_.path()).mkpath(QStringLiteral("program/Language"));
    if (!QFile::copy(QStringLiteral(HUSHGATE_RESOURCES_DLL), path(QStringLiteral("program/resources.dll")))) {
        throw std::runtime_error("cannot copy resources.dll");
    }
    const QDir shipped(QStringLiteral(HUSHGATE_LANGUAGE_DIR));
    for (const QString& name : shipped.entryList({QStringLiteral("*.lng")}, QDir::Files)) {
        if (!QFile::copy(shipped.filePath(name), path(QStringLiteral("program/Language/") + name))) {
            throw std::runtime_error("cannot copy the language files");
        }
    }
}

AppPaths TestProgram::paths() const {
    AppPaths paths;
    paths.programFolder = path(QStringLiteral("program"));
    paths.settingsFile = settingsPath();
    paths.hostsFile = toNativePath(hostsPath());
    paths.lineEnd = LineEnd::Lf;
    return paths;
}

void TestProgram::write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write test file");
    }
}

QByteArray TestProgram::read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

MessageRecorder::MessageRecorder() {
    MessageBox::setHandler([this](const MessageBox::Shown& message) {
        shown.append(message);
        return QMessageBox::Ok;
    });
}

MessageRecorder::~MessageRecorder() { MessageBox::setHandler({}); }

QByteArray allEntries() {
    QByteArray bytes;
    for (std::string_view entry : BlockEntries()) {
        bytes.append(entry.data(), static_cast<qsizetype>(entry.size()));
        bytes.append('\n');
    }
    return bytes;
}

}  // namespace hushgate::test
