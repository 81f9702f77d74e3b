#include "os_version.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hushgate {

int GetOSVersion(bool queryOk, unsigned major, unsigned minor, unsigned platformId) {
    if (!queryOk) {
        return 0;
    }
    if (platformId != kPlatformWin32Nt) {
        return 1;
    }
    if (major == 5 && minor >= 1) {
        return 2;
    }
    if (major == 6 && minor == 0) {
        return 3;
    }
    if (major == 6 && minor == 1) {
        return 4;
    }
    if (major == 6 && minor == 2) {
        return 5;
    }
    if (major >= 6 && minor >= 2) {
        return 6;
    }
    return 1;
}

int GetOSVersion() {
#ifdef _WIN32
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // deprecated, but it is what tells us the version
#endif
    const bool ok = ::GetVersionExA(&info) != 0;
    return GetOSVersion(ok, info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId);
#else
    return 6;
#endif
}

}  // namespace hushgate
