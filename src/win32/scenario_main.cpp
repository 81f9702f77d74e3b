// hushgate-scenario.exe: the Windows program with the seams the Wine
// scenarios use (tests/win32), never shipped:
//   --hosts FILE         work on FILE instead of the system's hosts file
//   --log FILE           append what the windows show, each message box and
//                        each address opened (instead of opening it) to FILE
//   --version-file URL   ask URL for the newest version

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app.h"
#include "seams.h"
#include "win32_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    hushgate::win32::Seams seams;
    for (int i = 1; i + 1 < count; i += 2) {
        const std::wstring option = arguments[i];
        const std::wstring value = arguments[i + 1];
        if (option == L"--hosts") {
            seams.hostsFile = hushgate::win32::Narrow(value);
        } else if (option == L"--log") {
            seams.logFile = value;
        } else if (option == L"--version-file") {
            seams.versionFile = hushgate::win32::Narrow(value);
        } else {
            MessageBoxW(nullptr, (L"Unknown option " + option).c_str(), L"hushgate-scenario",
                        MB_OK | MB_ICONERROR);
            return 2;
        }
    }
    LocalFree(arguments);
    hushgate::win32::SetSeams(std::move(seams));
    return hushgate::win32::RunProgram();
}
