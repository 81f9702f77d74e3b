#pragma once

#include <QString>

class QWidget;

namespace hushgate {

// Hands `address` to the desktop's default browser. This is the one place the
// program opens a web page, so tests can catch every launch with
// QDesktopServices::setUrlHandler. Failures (no browser, a malformed address)
// are silent: there is nothing useful the user could do about them here.
// `owner` is the window whose control was clicked; the desktop needs none.
void OpenWeb(QWidget* owner, const QString& address);

// The same for the constants of web_constants.h (UTF-8 text).
void OpenWeb(QWidget* owner, const char* address);

}  // namespace hushgate
