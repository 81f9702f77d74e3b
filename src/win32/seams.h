#pragma once

// The few places where the Wine scenarios (tests/win32) watch or steer the
// window: the product leaves every one of them at its default, and only
// hushgate-scenario.exe (scenario_main.cpp) sets them.

#include <windows.h>

#include <string>
#include <string_view>

namespace hushgate::win32 {

struct Seams {
    // The hosts file to work on; empty: the system's.
    std::string hostsFile;
    // Where the scenario log goes; empty: no log. Each line is one event
    // in UTF-8: what a window shows, each message box, each address opened.
    std::wstring logFile;
    // The version file's address; empty: the built-in one.
    std::string versionFile;
};

void SetSeams(Seams seams);
const Seams& GetSeams();

// One line of the scenario log, if there is one. Line breaks inside `line`
// are written as "\n", so every event stays on one line.
void LogEvent(std::string_view event, std::wstring_view details = {});
bool Logging();

// "shown <window>", with where the scenarios find it: its X11 window under
// Wine ("x11=<id>") and its client area's top left corner on the screen.
void LogShown(std::string_view window, HWND hwnd);

// Every message box of the program: logged (title and text) when there is
// a log, then shown by MessageBoxW; the answer is logged too.
int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type);

// Hands an address to the shell's default action (the browser, the mail
// program). With a scenario log the address is logged instead: no test
// ever opens a browser.
void OpenAddress(HWND owner, const std::wstring& verb, const std::wstring& address,
                 const std::wstring& folder);

}  // namespace hushgate::win32
