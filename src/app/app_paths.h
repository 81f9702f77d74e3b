#pragma once

#include <QString>
#include <string>

#include "hosts_engine.h"

namespace hushgate {

// Where the windows find what they read and write. The program uses the
// real places; tests give temporary ones.
struct AppPaths {
    QString programFolder;  // holds Language/ and resources.dll
    QString settingsFile;   // config.ini
    std::string hostsFile;
    LineEnd lineEnd = NativeLineEnd();

    static AppPaths forThisProgram();
};

// A file name as the operating-system layer below Qt expects it.
std::string toNativePath(const QString& path);
QString fromNativePath(const std::string& path);

}  // namespace hushgate
