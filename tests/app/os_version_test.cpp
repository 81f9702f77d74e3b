#include <gtest/gtest.h>

#include "os_version.h"

namespace hushgate {
namespace {

TEST(GetOSVersion, FollowsTheVersionTable) {
    constexpr unsigned nt = kPlatformWin32Nt;
    EXPECT_EQ(GetOSVersion(false, 6, 1, nt), 0);
    EXPECT_EQ(GetOSVersion(true, 4, 10, 1), 1);  // Windows 98
    EXPECT_EQ(GetOSVersion(true, 5, 0, nt), 1);  // 2000
    EXPECT_EQ(GetOSVersion(true, 5, 1, nt), 2);  // XP
    EXPECT_EQ(GetOSVersion(true, 5, 2, nt), 2);
    EXPECT_EQ(GetOSVersion(true, 6, 0, nt), 3);
    EXPECT_EQ(GetOSVersion(true, 6, 1, nt), 4);
    EXPECT_EQ(GetOSVersion(true, 6, 2, nt), 5);
    EXPECT_EQ(GetOSVersion(true, 6, 3, nt), 6);
    EXPECT_EQ(GetOSVersion(true, 10, 2, nt), 6);
    // Later majors with minor 0 or 1 match no row.
    EXPECT_EQ(GetOSVersion(true, 10, 0, nt), 1);
    EXPECT_EQ(GetOSVersion(true, 7, 1, nt), 1);
    EXPECT_EQ(GetOSVersion(true, 4, 0, nt), 1);  // NT 4
}

TEST(GetOSVersion, ThisSystemPasses) { EXPECT_GE(GetOSVersion(), kMinimumOSVersion); }

}  // namespace
}  // namespace hushgate
