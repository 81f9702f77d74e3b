#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string_view>

#include "controls.h"
#include "view_types.h"
#include "window_layout.h"

namespace hushgate::win32 {

// A presenter's message as a message box owned by `owner` (through the seam
// the scenarios watch), and the button pressed.
MessageAnswer ShowViewMessage(HWND owner, const Message& message);

// The large and small title-bar icons of `hwnd` from the icon group `group`
// of the executable, at the sizes the system gives icons at `dpi`.
void SetWindowIcons(HWND hwnd, const wchar_t* group, int dpi);

// A dialog's part of applying a language: remembers the character set each
// step gives its control in `characterSets`, and sets the texts on the
// controls `controlOf` finds.
void ApplyTextSteps(const TextSteps& steps, std::map<Control, int>& characterSets,
                    const std::function<HWND(Control)>& controlOf);

// The layout's font, as this window makes it.
FontChoice FontOf(const layout::Font& font);

// `choice` in the character set the language gave `control`, if it gave one.
FontChoice InCharacterSetOf(FontChoice choice, const std::map<Control, int>& characterSets,
                            Control control);

// The texts of a window's controls in the scenario log, one line each:
// "text <window>.<control> <text>".
void LogWindowText(std::string_view window, Control control, HWND hwnd);

}  // namespace hushgate::win32
