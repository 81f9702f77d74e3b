#include "version_text.h"

#include <gtest/gtest.h>

#include <string>

#include "web_constants.h"

namespace hushgate {
namespace {

struct Row {
    std::string answer;
    bool newer;
    const char* shown = nullptr;    // nullptr: the answer itself
    unsigned major = 1, minor = 1;  // the program's own version
};

TEST(VersionText, NewerOnlyForAPlainGreaterVersionNumber) {
    const Row rows[] = {
        // clang-format off
        {"1.2", true}, {"2.0", true}, {"1.1", false}, {"1.0", false}, {"0.9", false},
        {"1.2\r\n", true, "1.2"},  // how most editors save it
        {" \t1.2 \r\n\r\n", true, "1.2"}, {"\v\f1.2\f\v", true, "1.2"}, {"x 1.2 x", false},
        {"\xEF\xBB\xBF" "1.2\r\n", true, "1.2"},  // with a byte-order mark
        // Numbers compare as numbers, the major one first.
        {"1.10", true}, {"1.10", true, nullptr, 1, 9}, {"1.9", false, nullptr, 1, 10},
        {"1.10", false, nullptr, 1, 10}, {"2.0", true, nullptr, 1, 99}, {"1.99", false, nullptr, 2, 0},
        {"0.1", true, nullptr, 0, 0}, {"10.0", true}, {"1.01", false} /* the number 1 */, {"01.02", true},
        {"99999999999999999999999999.0", true}, {"000000000000000000000000001.1", false},
        // Anything else is no version.
        {"", false}, {"\r\n", false, ""}, {"garbage", false}, {"2", false}, {"1.", false},
        {".2", false}, {"1.2.3", false}, {"1,2", false}, {"v1.2", false}, {"1.2a", false},
        {"1 .2", false}, {"+1.2", false}, {"-1.2", false}, {std::string("1.2\0", 4), false},
        {"<html><body><h1>404 Not Found</h1></body></html>\n", false,
         "<html><body><h1>404 Not Found</h1></body></html>"},
        // clang-format on
    };
    for (const Row& row : rows) {
        const VersionVerdict verdict = EvaluateVersionText(row.answer, row.major, row.minor);
        EXPECT_EQ(verdict.newer, row.newer)
            << '"' << row.answer << "\" at " << row.major << "." << row.minor;
        EXPECT_EQ(verdict.version, row.shown == nullptr ? row.answer : std::string(row.shown));
    }
}

TEST(WebConstants, AddressesAreWebAddresses) {
    for (const std::string address :
         {web::kHomePage, web::kDonatePage, web::kSocialPage, web::kVersionFile}) {
        EXPECT_TRUE(address.starts_with("http://") || address.starts_with("https://")) << address;
    }
    EXPECT_FALSE(std::string(web::kHomePage).ends_with("/"));
#ifdef HUSHGATE_DONATE_PAGE_FOLLOWS_HOME
    EXPECT_EQ(std::string(web::kDonatePage), std::string(web::kHomePage) + "/donate");
#endif
#ifdef HUSHGATE_VERSION_FILE_FOLLOWS_HOME
    EXPECT_EQ(std::string(web::kVersionFile),
              std::string(web::kHomePage) + "/version/hushgate.txt");
#endif
}

}  // namespace
}  // namespace hushgate
