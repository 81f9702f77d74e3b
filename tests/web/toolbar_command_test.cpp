#include "toolbar_command.h"

#include <gtest/gtest.h>

#include <string>

namespace hushgate {
namespace {

TEST(ToolbarCommand, EachKeyHasItsCommand) {
    EXPECT_EQ(ToolbarCommandFor("language"), ToolbarCommand::ShowLanguage);
    EXPECT_EQ(ToolbarCommandFor("about"), ToolbarCommand::ShowAbout);
    EXPECT_EQ(ToolbarCommandFor("web"), ToolbarCommand::OpenHomePage);
    EXPECT_EQ(ToolbarCommandFor("facebook"), ToolbarCommand::OpenSocialPage);
}

TEST(ToolbarCommand, OnlyExactKeysMatch) {
    // The separator has no key; the others differ in case, spacing or length.
    using namespace std::string_literals;
    for (const std::string& key : {""s, "Language"s, "ABOUT"s, "Web"s, " web"s, "web "s, "webs"s,
                                   "we"s, "face book"s, "facebook\n"s, "web\0"s, "separator"s}) {
        EXPECT_EQ(ToolbarCommandFor(key), ToolbarCommand::Nothing) << '"' << key << '"';
    }
}

}  // namespace
}  // namespace hushgate
