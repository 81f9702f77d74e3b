// Hushgate.exe: Tavrin Hushgate, the Windows program.

#include <windows.h>

#include "app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return hushgate::win32::RunProgram();
}
