#pragma once

#include <windows.h>

namespace hushgate::win32 {

// The answer to WM_GETOBJECT for one of our own controls: the system's
// standard object for its client area, which reads the name from the window
// text and the place from the window, but with `role` as its role. Without
// it a screen reader meets a drawn label or picture as a bare "client" and
// cannot tell text from a picture. Other object ids get the default answer.
LRESULT AnswerWithRole(HWND hwnd, WPARAM wParam, LPARAM lParam, long role);

// The role the accessible object of `hwnd` reports for itself, as a screen
// reader asks for it (AccessibleObjectFromWindow); 0 when there is none.
long AccessibleRoleOf(HWND hwnd);

}  // namespace hushgate::win32
