#pragma once

#include <windows.h>

#include <string_view>

#include "view_types.h"

namespace hushgate::win32 {

// A presenter's message as a message box owned by `owner` (through the seam
// the scenarios watch), and the button pressed.
MessageAnswer ShowViewMessage(HWND owner, const Message& message);

// The large and small title-bar icons of `hwnd` from the icon group `group`
// of the executable.
void SetWindowIcons(HWND hwnd, const wchar_t* group);

// The texts of a window's controls in the scenario log, one line each:
// "text <window>.<control> <text>".
void LogWindowText(std::string_view window, Control control, HWND hwnd);

}  // namespace hushgate::win32
