// Every failure must leave the hosts file byte for byte as it was, with its
// metadata, and no stray file beside it. What only one kind of system has
// is in failure_posix_test.cpp and failure_windows_test.cpp.

#include <gtest/gtest.h>

#include <fstream>

#include "block_list.h"
#include "hosts_engine.h"
#include "test_support.h"

namespace hushgate {
namespace {

TEST(Failures, FailedOperationLeavesTheFileAndTheListsAsTheyWere) {
    test::TempFolder dir;
    const std::string hosts = dir.file("hosts");
    test::writeFile(hosts, "a\n\n" + test::allEntries());
    HostsEngine engine(hosts, LineEnd::Lf);
    engine.setBeforeReplaceHook([] { throw std::runtime_error("interrupted"); });
    for (auto operation :
         {+[](HostsEngine& e) { e.Unblock(); }, +[](HostsEngine& e) { e.Block(); }}) {
        EXPECT_THROW(operation(engine), std::runtime_error);
        EXPECT_EQ(engine.FoundCount(), 68u);
        EXPECT_EQ(engine.lvHosts().size(), 71u);  // a, the empty line, 68 entries, the last end
    }
    EXPECT_EQ(test::readFile(hosts), "a\n\n" + test::allEntries());
    EXPECT_EQ(test::listing(dir.path()), std::vector<std::string>{"hosts"});
}

// Another program's edit made while we write is never lost: made before our
// final check, the operation starts again; made after it, our new file
// displaces it, and the lines it added are added to our file (block entries
// and empty lines aside: the operation decides those).
TEST(Failures, EditsOfOtherProgramsDuringTheWriteSurvive) {
    const std::string added = "added by another program\n";
    const std::string www = std::string(BlockEntries()[0]) + "\n";
    const auto appendLines = [&](const std::string& hosts) {
        std::ofstream(test::pathOf(hosts), std::ios::app | std::ios::binary) << added;
    };
    const auto replaceFile = [&](const std::string& hosts) {  // as sed -i does
        test::writeFile(hosts + ".sed", test::readFile(hosts) + added + www + "\n");
        std::filesystem::rename(test::pathOf(hosts + ".sed"), test::pathOf(hosts));
    };
    const std::string entries = test::allEntries();
    const struct {
        const char* what;
        WriteStep step;
        std::function<void(const std::string&)> edit;
        bool block;
        std::string expected;
        bool hardLink = false;
    } cases[] = {
        {"append before the check", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + entries},
        {"append after the check", WriteStep::AfterFinalCheck, appendLines, true,
         "a\n" + entries + added},
        {"new file after the check, block", WriteStep::AfterFinalCheck, replaceFile, true,
         "a\n" + entries + added},
        {"new file after the check, unblock", WriteStep::AfterFinalCheck, replaceFile, false,
         "a\n" + added},
        {"append before the check, in place", WriteStep::BeforeFinalCheck, appendLines, true,
         "a\n" + added + entries, true},
    };
    for (const auto& c : cases) {
        test::TempFolder dir;
        const std::string hosts = dir.file("hosts");
        test::writeFile(hosts, c.block ? "a\n" : "a\n" + entries);
        if (c.hardLink) {
            std::filesystem::create_hard_link(test::pathOf(hosts), test::pathOf(dir.file("link")));
        }
        HostsEngine engine(hosts, LineEnd::Lf);
        int calls = 0;
        engine.setWriteHook([&](WriteStep step) {
            if (step == c.step && ++calls == 1) {
                c.edit(hosts);
            }
        });
        c.block ? (void)engine.Block() : (void)engine.Unblock();
        EXPECT_EQ(test::readFile(hosts), c.expected) << c.what;
        EXPECT_EQ(engine.FoundCount(), c.block ? 68u : 0u) << c.what;
        EXPECT_EQ(test::listing(dir.path()).size(), c.hardLink ? 2u : 1u) << c.what;
    }
}

}  // namespace
}  // namespace hushgate
