// Runs cut short (killed, interrupted) and what the next run makes of what
// they left. POSIX only: Windows tells a run at work by how recently it
// touched its files, which Wine cannot date back.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

TEST(Interrupted, LeftoversOfEndedRunsAreRemovedAndFilesInUseKept) {
    test::TempFolder dir;
    test::writeFile(dir.file("hosts"), "a\n");
    const std::vector<std::string> kept = {
        ".hosts.hushgate-new-Ab12Cd.bak",  // not named like ours
        ".hosts.hushgate-new-InUse1",      // held by a run at work
        ".other.hushgate-new-Ab12Cd",      // another file's
        "hosts",
        "hosts.hushgate-torn-20250101-120000",  // a damaged copy kept for the owner
    };
    for (const std::string& name : kept) {
        if (name != "hosts") {
            test::writeFile(dir.file(name), "x");
        }
    }
    for (const char* name : {".hosts.hushgate-new-Ab12Cd", ".hosts.hushgate-copy-Ab12Cd",
                             ".hosts.hushgate-rec-Ab12Cd"}) {  // a record never completed
        test::writeFile(dir.file(name), "127.0.0.1 localhost\n");
    }
    HostsEngine engine(dir.file("hosts"), LineEnd::Lf);
    {
        test::FileInUse inUse(dir.file(kept[1]));
        engine.LoadHostsList();
    }
    EXPECT_EQ(test::listing(dir.path()), kept);
    EXPECT_TRUE(engine.TakeRecoveryNotices().empty());
}

// A write ended at any step leaves the old or the new file and, after the
// next read, nothing else: a rewrite in place cut short is undone, its
// damaged bytes kept and the undoing told once. Ctrl-C, SIGTERM and SIGHUP
// wait for the step that puts the new file in place, then end the program
// with 128 + their number after removing its temporary files.
TEST(Interrupted, WriteLeavesTheOldOrTheNewFileAndNothingElse) {
    using S = WriteStep;
    // clang-format off
    const struct {
        const char* what;
        bool inPlace;  // through a hard link, as for a bind mount
        bool block;    // else unblock, which makes the file shorter
        WriteStep step;
        int signal;
        bool endsNew;
        bool torn;
    } cases[] = {
        {"killed before the final check",       false, true,  S::BeforeFinalCheck, SIGKILL, false, false},
        {"killed after the final check",        false, true,  S::AfterFinalCheck,  SIGKILL, false, false},
        {"killed in place, the record saved",   true,  false, S::RecordSaved,      SIGKILL, false, false},
        {"killed in place, half written",       true,  false, S::InPlaceWritten,   SIGKILL, false, true},
        {"killed in place, written but not cut", true, true,  S::InPlaceWritten,   SIGKILL, true,  false},
        {"terminated before the final check",   false, true,  S::BeforeFinalCheck, SIGTERM, false, false},
        {"interrupted after the final check",   false, false, S::AfterFinalCheck,  SIGINT,  true,  false},
        {"hung up in place",                    true,  false, S::InPlaceWritten,   SIGHUP,  true,  false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        // Unblocking rewrites the file from its second line on, and shorter.
        const std::string unblocked = "# mine\n127.0.0.1 localhost\n";
        const std::string blocked = "# mine\n" + test::allEntries() + "127.0.0.1 localhost\n";
        const std::string original = c.block ? unblocked : blocked;
        const std::string changed = c.block ? unblocked + test::allEntries() : unblocked;
        test::writeFile(hosts, original);
        if (c.inPlace) {
            std::filesystem::create_hard_link(hosts, dir.file("other-name"));
        }
        auto listing = test::listing(dir.path());
        const int status = test::waitStatusOfChild([&] {
            if (c.signal != SIGKILL) {
                InstallInterruptHandling();
            }
            HostsEngine engine(hosts, LineEnd::Lf);
            engine.setWriteHook([&](WriteStep step) {
                if (step == c.step) {
                    ::raise(c.signal);
                }
            });
            c.block ? (void)engine.Block() : (void)engine.Unblock();
        });
        if (c.signal == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + c.signal) << status;
            EXPECT_EQ(test::listing(dir.path()), listing);  // cleaned up before ending
        }
        const std::string left = test::readFile(hosts);

        HostsEngine reader(hosts, LineEnd::Lf);
        reader.LoadHostsList();
        EXPECT_EQ(test::readFile(hosts), c.endsNew ? changed : original);
        auto notices = reader.TakeRecoveryNotices();
        ASSERT_EQ(notices.size(), c.torn ? 1u : 0u);
        if (c.torn) {
            EXPECT_EQ(test::readFile(notices[0].tornCopy), left);
            EXPECT_EQ(notices[0].message(), "An interrupted change of " + hosts +
                                                " was undone; the damaged copy was kept as " +
                                                notices[0].tornCopy + ".");
            listing.push_back(std::filesystem::path(notices[0].tornCopy).filename().string());
            std::sort(listing.begin(), listing.end());
        }
        EXPECT_EQ(test::listing(dir.path()), listing);
        if (c.inPlace) {
            EXPECT_EQ(test::readFile(dir.file("other-name")), test::readFile(hosts));
        }
        reader.LoadHostsList();
        EXPECT_TRUE(reader.TakeRecoveryNotices().empty());
    }
}
}  // namespace
}  // namespace hushgate
