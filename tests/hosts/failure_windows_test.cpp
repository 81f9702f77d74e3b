// Failures only Windows has: a file marked read-only, and one another
// program (an editor, a virus scanner, a backup) holds open, shared with
// nobody.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <gtest/gtest.h>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

TEST(Failures, ProtectedFileIsRefusedAndLeftAlone) {
    // The read-only mark is named as such: administrator rights would not help.
    const struct {
        bool readOnly;
        DWORD osError;
        HostsError::Kind kind;
    } cases[] = {{true, ERROR_ACCESS_DENIED, HostsError::Kind::MarkedReadOnly},
                 {false, ERROR_SHARING_VIOLATION, HostsError::Kind::PermissionDenied}};
    for (const auto& c : cases) {
        for (const bool block : {true, false}) {
            SCOPED_TRACE(std::string(c.readOnly ? "read-only" : "held") + (block ? " block" : ""));
            test::TempFolder dir;
            const std::string hosts = dir.file("hosts");
            const std::wstring path = test::pathOf(hosts).wstring();
            test::writeFile(hosts, "127.0.0.1 localhost\r\n127.0.0.1 m.facebook.com\r\n");
            ASSERT_TRUE(!c.readOnly || ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
            const auto before = test::pictureOf(hosts);
            const HANDLE held = c.readOnly ? INVALID_HANDLE_VALUE
                                           : ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr,
                                                           OPEN_EXISTING, 0, nullptr);
            HostsEngine engine(hosts, LineEnd::CrLf);
            const auto error =
                test::errorOf([&] { block ? (void)engine.Block() : (void)engine.Unblock(); });
            if (held != INVALID_HANDLE_VALUE) {
                ::CloseHandle(held);
            }
            ASSERT_TRUE(error);
            EXPECT_EQ(error->kind(), c.kind);
            EXPECT_EQ(error->osError(), static_cast<int>(c.osError)) << error->what();
            EXPECT_EQ(test::pictureOf(hosts), before);
            EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
        }
    }
}

}  // namespace
}  // namespace hushgate
