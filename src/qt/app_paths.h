#pragma once

#include <QString>
#include <string>

#include "hosts_engine.h"
#include "main_presenter.h"

namespace hushgate {

// Where the windows find what they read and write. The program uses the
// real places; tests give temporary ones.
struct AppPaths {
    // Language/ and resources.dll are each looked for beside the program
    // first, then in the data folder the program was installed with.
    QString programFolder;
    QString installedDataFolder;
    QString settingsFile;  // config.ini
    std::string hostsFile;
    LineEnd lineEnd = NativeLineEnd();

    static AppPaths forThisProgram();
    // The same paths as the presenter takes them.
    ProgramPaths toProgramPaths() const;
};

// A file name as the operating-system layer below Qt expects it.
std::string toNativePath(const QString& path);
QString fromNativePath(const std::string& path);

}  // namespace hushgate
