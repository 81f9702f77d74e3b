#pragma once

namespace hushgate {

// The platform-id value of the Windows NT family in the OS version record.
inline constexpr unsigned kPlatformWin32Nt = 2;

// The operating-system code used to refuse systems that are too old:
// 0 query failed, 1 not NT or unknown, 2 5.x (x >= 1), 3 6.0, 4 6.1, 5 6.2,
// 6 any later 6+ version with a minor version of 2 or more.
int GetOSVersion(bool queryOk, unsigned major, unsigned minor, unsigned platformId);

// The code for the running system. Windows is asked for its version; every
// other platform we build for is recent enough and passes.
int GetOSVersion();

// Codes below this are refused at start-up.
inline constexpr int kMinimumOSVersion = 2;

}  // namespace hushgate
