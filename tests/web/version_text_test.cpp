#include "version_text.h"

#include <gtest/gtest.h>

#include <string>

#include "web_constants.h"

namespace hushgate {
namespace {

struct Row {
    std::string answer;
    bool newer;
    std::string shown;
};

// Answers of the version file against a program at 1.1.
const Row kAtOneOne[] = {
    {"1.2", true, "1.2"},
    {"2.0", true, "2.0"},
    {"1.1", false, "1.1"},
    {"1.0", false, "1.0"},
    {"0.9", false, "0.9"},
    {"1.2\r\n", true, "1.2"},  // how most editors save it
    {"1.2\n", true, "1.2"},
    {" \t1.2 \r\n\r\n", true, "1.2"},
    {"\xEF\xBB\xBF"
     "1.2\r\n",
     true, "1.2"},  // with a byte-order mark
    {"1.10", true, "1.10"},
    {"10.0", true, "10.0"},
    {"1.01", false, "1.01"},  // the number 1
    {"01.02", true, "01.02"},
    {"99999999999999999999999999.0", true, "99999999999999999999999999.0"},
    {"000000000000000000000000001.1", false, "000000000000000000000000001.1"},
    {"", false, ""},
    {"\r\n", false, ""},
    {"garbage", false, "garbage"},
    {"1", false, "1"},
    {"2", false, "2"},
    {"1.", false, "1."},
    {".2", false, ".2"},
    {"1.2.3", false, "1.2.3"},
    {"1,2", false, "1,2"},
    {"v1.2", false, "v1.2"},
    {"1.2a", false, "1.2a"},
    {"1 .2", false, "1 .2"},
    {"+1.2", false, "+1.2"},
    {"-1.2", false, "-1.2"},
    {std::string("1.2\0", 4), false, std::string("1.2\0", 4)},
    {"404 Not Found", false, "404 Not Found"},
    {"<html><body><h1>404 Not Found</h1></body></html>\n", false,
     "<html><body><h1>404 Not Found</h1></body></html>"},
    {"<!DOCTYPE html>\n<title>Server error</title>9", false,
     "<!DOCTYPE html>\n<title>Server error</title>9"},
};

TEST(VersionText, TableAgainstOneOne) {
    for (const Row& row : kAtOneOne) {
        const VersionVerdict verdict = EvaluateVersionText(row.answer, 1, 1);
        EXPECT_EQ(verdict.newer, row.newer) << '"' << row.answer << '"';
        EXPECT_EQ(verdict.version, row.shown) << '"' << row.answer << '"';
    }
}

TEST(VersionText, ComparesMinorNumbersAsNumbers) {
    EXPECT_TRUE(EvaluateVersionText("1.10", 1, 9).newer);
    EXPECT_FALSE(EvaluateVersionText("1.9", 1, 10).newer);
    EXPECT_FALSE(EvaluateVersionText("1.10", 1, 10).newer);
    EXPECT_TRUE(EvaluateVersionText("1.11", 1, 10).newer);
}

TEST(VersionText, MajorNumberDecidesFirst) {
    EXPECT_TRUE(EvaluateVersionText("2.0", 1, 9).newer);
    EXPECT_FALSE(EvaluateVersionText("1.99", 2, 0).newer);
    EXPECT_TRUE(EvaluateVersionText("0.1", 0, 0).newer);
    EXPECT_FALSE(EvaluateVersionText("0.0", 0, 0).newer);
}

TEST(VersionText, TrimsWhiteSpaceOnly) {
    EXPECT_EQ(TrimVersionText(" \t\r\n\v\f1.2\f\v\n\r\t "), "1.2");
    EXPECT_EQ(TrimVersionText("\xEF\xBB\xBF 1.2"), "1.2");
    EXPECT_EQ(TrimVersionText("x 1.2 x"), "x 1.2 x");
    EXPECT_EQ(TrimVersionText("   "), "");
}

TEST(WebConstants, AddressesAreWebAddresses) {
    for (const std::string address :
         {web::kHomePage, web::kDonatePage, web::kSocialPage, web::kVersionFile}) {
        EXPECT_TRUE(address.starts_with("http://") || address.starts_with("https://")) << address;
    }
    EXPECT_FALSE(std::string(web::kHomePage).ends_with("/"));
}

#ifdef HUSHGATE_DONATE_PAGE_FOLLOWS_HOME
TEST(WebConstants, DonationPageLiesBelowTheHomePage) {
    EXPECT_EQ(std::string(web::kDonatePage), std::string(web::kHomePage) + "/donate");
}
#endif

#ifdef HUSHGATE_VERSION_FILE_FOLLOWS_HOME
TEST(WebConstants, VersionFileLiesBelowTheHomePage) {
    EXPECT_EQ(std::string(web::kVersionFile),
              std::string(web::kHomePage) + "/version/hushgate.txt");
}
#endif

}  // namespace
}  // namespace hushgate
