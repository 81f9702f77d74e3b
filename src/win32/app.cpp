#include "app.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "controls.h"
#include "main_window.h"
#include "os_version.h"
#include "pictures.h"
#include "seams.h"
#include "settings_file.h"
#include "win32_text.h"

namespace hushgate::win32 {

namespace {

// Sharp at every scale: per-monitor where Windows offers it (10 and later),
// else the system DPI (Vista and later).
void becomeDpiAware() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) {
        return;
    }
    using SetAwareFn = BOOL(WINAPI*)();
    if (auto setAware = reinterpret_cast<SetAwareFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")))) {
        setAware();
    }
}

int messageLoop(MainWindow& window) {
    MSG message;
    for (;;) {
        // Wait for a window message or a change in the hosts file's folder.
        HANDLE watch = window.hostsWatch();
        const DWORD count = watch != INVALID_HANDLE_VALUE ? 1 : 0;
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(count, &watch, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (count == 1 && woken == WAIT_OBJECT_0) {
            window.hostsWatchSignalled();
            continue;
        }
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return static_cast<int>(message.wParam);
            }
            if (!DialogWindow::PreTranslate(message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
}

}  // namespace

int RunProgram() {
    // The windows' controls and the current visual style (the manifest asks
    // for version 6 of the common controls) before any window exists.
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_USEREX_CLASSES | ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    becomeDpiAware();
    RegisterControlClasses();

    const std::string folder = Narrow(ProgramFolder());
    ProgramPaths paths;
    // Language/ and resources.dll live beside the program here: there is no
    // installed data folder to look in after it.
    paths.programFolder = folder;
    paths.settingsFile = SettingsFilePath(folder);
    paths.hostsFile = GetSeams().hostsFile.empty() ? SystemHostsPath() : GetSeams().hostsFile;
    paths.lineEnd = LineEnd::CrLf;

    // A first run gets the default settings; an existing file stays as it is.
    // Without one the program still runs, in English.
    EnsureSettingsFile(paths.settingsFile);

    if (GetOSVersion() < kMinimumOSVersion) {
        ShowMessageBox(nullptr, L"This application requires Windows XP or above!",
                       L"System requirements", MB_OK | MB_ICONERROR);
        return 1;
    }

    // An apartment for the thread: the objects that tell screen readers what
    // our own controls are go to them through COM, as do the shell's verbs.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    struct ComSession {
        bool started;
        ~ComSession() {
            if (started) {
                CoUninitialize();
            }
        }
    } const comSession{SUCCEEDED(com)};
    GdiPlusSession gdiPlus;
    MainWindow window(paths);
    if (!window.open()) {
        ShowMessageBox(nullptr, L"The window could not be created: " + ErrorText(GetLastError()),
                       Widen(MainPresenter::kTitle), MB_OK | MB_ICONERROR);
        return 1;
    }
    return messageLoop(window);
}

}  // namespace hushgate::win32
