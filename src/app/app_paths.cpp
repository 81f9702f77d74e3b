#include "app_paths.h"

#include <QCoreApplication>
#include <QFile>

#include "settings_file.h"

namespace hushgate {

// The layer below takes UTF-8 on Windows (it converts to UTF-16 itself) and
// the locale's bytes elsewhere, as the file system stores them.
std::string toNativePath(const QString& path) {
#ifdef _WIN32
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString fromNativePath(const std::string& path) {
#ifdef _WIN32
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

AppPaths AppPaths::forThisProgram() {
    AppPaths paths;
    paths.programFolder = QCoreApplication::applicationDirPath();
    paths.settingsFile = fromNativePath(SettingsFilePath(toNativePath(paths.programFolder)));
    paths.hostsFile = SystemHostsPath();
    return paths;
}

}  // namespace hushgate
