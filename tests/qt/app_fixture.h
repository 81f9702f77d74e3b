#pragma once

#include <QByteArray>
#include <string_view>

#include "app_paths.h"
#include "block_list.h"
#include "qt_test_support.h"

namespace hushgate::test {

// The window's paths inside `folder`, with LF line ends as on Linux.
inline AppPaths pathsOf(const ProgramFolder& folder) {
    AppPaths paths;
    paths.programFolder = folder.program();
    paths.settingsFile = folder.settingsPath();
    paths.hostsFile = toNativePath(folder.hostsPath());
    paths.lineEnd = LineEnd::Lf;
    return paths;
}

// All block entries, each followed by LF.
inline QByteArray allEntries() {
    QByteArray bytes;
    for (std::string_view entry : BlockEntries()) {
        bytes.append(entry.data(), static_cast<qsizetype>(entry.size())).append('\n');
    }
    return bytes;
}

}  // namespace hushgate::test
