#pragma once

#include <QString>
#include <string>

#include "hosts_engine.h"
#include "main_presenter.h"

namespace hushgate {

// Where the windows find what they read and write. The program uses the
// real places; tests give temporary ones.
struct AppPaths {
    // The data folder: holds Language/ and resources.dll.
    QString programFolder;
    QString settingsFile;  // config.ini
    std::string hostsFile;
    LineEnd lineEnd = NativeLineEnd();

    static AppPaths forThisProgram();
    // The same paths as the presenter takes them.
    ProgramPaths toProgramPaths() const;
};

// Where Language/ and resources.dll are: beside the program when its folder
// has Language/ (the build tree, Windows, a portable copy), else the data
// folder it was installed with.
QString DataFolder(const QString& programDir, const QString& installedDataDir);

// A file name as the operating-system layer below Qt expects it.
std::string toNativePath(const QString& path);
QString fromNativePath(const std::string& path);

}  // namespace hushgate
