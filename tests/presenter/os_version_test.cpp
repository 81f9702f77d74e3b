#include "os_version.h"

#include <gtest/gtest.h>

namespace hushgate {
namespace {

// Each code, and the versions just beside each row; codes from 2 pass.
TEST(GetOSVersion, CodesEachVersionAndRefusesWhatIsOlderThanXp) {
    const struct {
        bool queryOk;
        unsigned major, minor, platform;
        int code;
    } rows[] = {
        {false, 6, 1, kPlatformWin32Nt, 0},  // the query failed
        {true, 4, 10, 1, 1},                 // Windows 98
        {true, 6, 2, 3, 1},                  // not NT, however new
        {true, 4, 0, kPlatformWin32Nt, 1},   // NT 4
        {true, 5, 0, kPlatformWin32Nt, 1},   // 2000
        {true, 5, 1, kPlatformWin32Nt, 2},   // XP
        {true, 5, 2, kPlatformWin32Nt, 2},   // Server 2003
        {true, 6, 0, kPlatformWin32Nt, 3},   // Vista
        {true, 6, 1, kPlatformWin32Nt, 4},   // 7
        {true, 6, 2, kPlatformWin32Nt, 5},   // 8
        {true, 6, 3, kPlatformWin32Nt, 6},   // 8.1
        {true, 7, 2, kPlatformWin32Nt, 6},
        {true, 10, 0, kPlatformWin32Nt, 1},  // a later major version with minor 0 or 1
    };
    for (const auto& row : rows) {
        const int code = GetOSVersion(row.queryOk, row.major, row.minor, row.platform);
        EXPECT_EQ(code, row.code) << row.major << "." << row.minor << " on " << row.platform;
        EXPECT_EQ(code >= kMinimumOSVersion, row.code >= 2);
    }
}

}  // namespace
}  // namespace hushgate
