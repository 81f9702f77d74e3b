#pragma once

#include <QByteArray>
#include <QLabel>
#include <QPushButton>
#include <string_view>

#include "app_paths.h"
#include "block_list.h"
#include "main_window.h"
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

enum State { Unblocked, Blocked, Unknown };

// The English window's pictures, buttons and state word all tell `state`.
inline bool shows(MainWindow& w, State state) {
    const bool blocked = state == Blocked, unblocked = state == Unblocked;
    const char* word = blocked ? "blocked!" : unblocked ? "not blocked!" : "unknown";
    return w.imgBlocked->isVisible() == blocked && w.imgStatusBlocked->isVisible() == blocked &&
           w.imgUnblocked->isVisible() == unblocked &&
           w.imgStatusUnblocked->isVisible() == unblocked &&
           w.cmdBlockFB->isEnabled() == unblocked && w.cmdUnblockFB->isEnabled() == blocked &&
           w.lblStatusEnd->text() == QLatin1String(word);
}

}  // namespace hushgate::test
