#include "os_version.h"

#include <gtest/gtest.h>

namespace hushgate {
namespace {

TEST(GetOSVersion, RefusesWhatIsOlderThanXpOrUnknown) {
    const struct {
        bool queryOk;
        unsigned major, minor, platform;
        bool passes;
    } rows[] = {
        {false, 6, 1, kPlatformWin32Nt, false},  // the query failed
        {true, 4, 10, 1, false},                 // Windows 98
        {true, 4, 0, kPlatformWin32Nt, false},   // NT 4
        {true, 5, 0, kPlatformWin32Nt, false},   // 2000
        {true, 5, 1, kPlatformWin32Nt, true},    // XP
        {true, 6, 0, kPlatformWin32Nt, true},    // Vista
        {true, 6, 3, kPlatformWin32Nt, true},    // 8.1
        {true, 10, 2, kPlatformWin32Nt, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(
            GetOSVersion(row.queryOk, row.major, row.minor, row.platform) >= kMinimumOSVersion,
            row.passes)
            << row.major << "." << row.minor;
    }
}

}  // namespace
}  // namespace hushgate
