#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace hushgate {

// Hands `address` to the desktop's default browser. This is the one place the
// program opens a web page, so tests can catch every launch with
// QDesktopServices::setUrlHandler. Failures (no browser, a malformed address)
// are silent: there is nothing useful the user could do about them here.
// Run as root, it starts no browser or mail program: one started from here
// would run as root too, and every page it loaded with it. It shows the
// address instead, in a message box owned by `owner` whose text can be
// selected and copied into the user's own browser.
void OpenWeb(QWidget* owner, const QString& address);

// The same for the constants of web_constants.h (UTF-8 text).
void OpenWeb(QWidget* owner, const char* address);

// Whether the program runs as root (effective user 0; never on Windows,
// where the window runs elevated by design and the shell opens pages as the
// signed-in user).
bool RunningAsRoot();
// Tests: answer RunningAsRoot with `root`; std::nullopt asks the system again.
void PretendRunningAsRoot(std::optional<bool> root);

}  // namespace hushgate
