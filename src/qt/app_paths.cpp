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

ProgramPaths AppPaths::toProgramPaths() const {
    return {toNativePath(programFolder), toNativePath(settingsFile), hostsFile, lineEnd,
            toNativePath(installedDataFolder)};
}

AppPaths AppPaths::forThisProgram() {
    AppPaths paths;
    const QString programDir = QCoreApplication::applicationDirPath();
    // The build tree, a portable copy: beside the program; installed: the
    // data folder (the presenter looks for each file in turn).
    paths.programFolder = programDir;
    paths.installedDataFolder = QStringLiteral(HUSHGATE_DATA_DIR);
    // Beside the program on Windows, as it always was; elsewhere in the
    // user's configuration folder, wherever the data is.
    paths.settingsFile = fromNativePath(SettingsFilePath(toNativePath(programDir)));
    paths.hostsFile = SystemHostsPath();
    return paths;
}

}  // namespace hushgate
