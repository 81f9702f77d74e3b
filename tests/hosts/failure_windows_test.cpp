// Failures only Windows has: a file marked read-only, and one another
// program holds open (an editor, a virus scanner, a backup).

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <gtest/gtest.h>
#include <windows.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

enum class Protection { ReadOnly, HeldShared, HeldForReaders };

TEST(Failures, ProtectedFileIsRefusedAndLeftAlone) {
    const struct {
        const char* what;
        Protection protection;
        DWORD osError;
    } cases[] = {
        {"the read-only attribute", Protection::ReadOnly, ERROR_ACCESS_DENIED},
        {"held open and shared with nobody", Protection::HeldShared, ERROR_SHARING_VIOLATION},
        {"held open for others to read only", Protection::HeldForReaders, ERROR_SHARING_VIOLATION},
    };
    for (const auto& c : cases) {
        for (const bool block : {true, false}) {
            const std::string what = std::string(c.what) + (block ? ", block" : ", unblock");
            test::TempFolder dir;
            const std::string hosts = dir.file("hosts");
            test::writeFile(hosts, "127.0.0.1 localhost\r\n127.0.0.1 m.facebook.com\r\n");
            if (c.protection == Protection::ReadOnly) {
                ASSERT_TRUE(
                    ::SetFileAttributesW(test::pathOf(hosts).c_str(), FILE_ATTRIBUTE_READONLY));
            }
            const test::Picture before = test::pictureOf(hosts);
            std::optional<HostsError> error;
            {
                std::optional<test::FileInUse> held;
                if (c.protection != Protection::ReadOnly) {
                    held.emplace(hosts, c.protection == Protection::HeldForReaders);
                }
                HostsEngine engine(hosts, LineEnd::CrLf);
                error =
                    test::errorOf([&] { block ? (void)engine.Block() : (void)engine.Unblock(); });
            }
            ASSERT_TRUE(error) << what;
            EXPECT_EQ(error->kind(), HostsError::Kind::PermissionDenied) << what;
            EXPECT_EQ(error->osError(), static_cast<int>(c.osError))
                << what << ": " << error->what();
            EXPECT_EQ(test::pictureOf(hosts), before) << what;
            EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"}) << what;
        }
    }
}

}  // namespace
}  // namespace hushgate
