// The update check's evaluation and messages; the request is the view's.

#include <gtest/gtest.h>

#include "presenter_fixture.h"

namespace hushgate::test {
namespace {

class UpdateCheckTest : public ::testing::Test {
protected:
    RecordingView view;
    UpdateCheck check{view};
    UpdateCheckTexts texts{"Tavrin Hushgate", "New version available!",
                           "Version:", "Would you like to download it from our website?",
                           "No new updates available!"};

    void SetUp() override {
        check.settings.ownMajor = 1;
        check.settings.ownMinor = 1;
        check.settings.homePage = "http://home.example";
    }
};

// What the version file says is EvaluateVersionText's; here, what the user
// is told, and that Yes opens the home page.
TEST_F(UpdateCheckTest, AnswersAreEvaluated) {
    const struct {
        std::optional<std::string> body;  // nullopt: the request failed
        std::optional<UpdateOutcome> outcome;
        const char* shown;  // nullptr: no message
        MessageAnswer answer = MessageAnswer::No;
    } cases[] = {
        {"1.2", UpdateOutcome::NewVersion,
         "Question|Tavrin Hushgate|New version available!\nVersion: 1.2\n\nWould you like to "
         "download it from our website?|YesNo"},
        {"1.1", UpdateOutcome::NoUpdate, "Information|Tavrin Hushgate|No new updates available!"},
        {"<html><h1>404 Not Found</h1></html>", UpdateOutcome::NoUpdate,
         "Information|Tavrin Hushgate|No new updates available!"},
        {std::nullopt, UpdateOutcome::Failed, nullptr},
        {"1.10", UpdateOutcome::NewVersion, nullptr, MessageAnswer::Yes},
    };
    for (const auto& c : cases) {
        view.messages.clear();
        view.answer = c.answer;
        check.start();
        EXPECT_EQ(view.versionUrl, check.settings.versionFile);
        EXPECT_EQ(check.answered(view.check, c.body, texts), c.outcome)
            << c.body.value_or("(failed)");
        EXPECT_EQ(view.messages.size(), c.outcome == UpdateOutcome::Failed ? 0u : 1u);
        if (c.shown != nullptr) {
            EXPECT_EQ(describe(view.messages.at(0)), c.shown);
        }
        EXPECT_FALSE(check.isWaiting());
    }
    EXPECT_EQ(view.opened, std::vector<std::string>{"http://home.example"});
}

// Only the newest check counts: an earlier one's answer, late or arriving
// while the newer one's message is open, is never evaluated; the check
// waits until its message is closed.
TEST_F(UpdateCheckTest, OnlyTheNewestCheckIsAnswered) {
    check.start();
    const std::uint64_t first = view.check;
    check.start();
    EXPECT_EQ(check.answered(first, "1.2", texts), std::nullopt);
    EXPECT_TRUE(view.messages.empty());
    EXPECT_TRUE(check.isWaiting());

    const std::uint64_t second = view.check;
    bool waitingWhileShown = false;
    view.whileMessageShown = [&] {
        waitingWhileShown = check.isWaiting();
        check.start();  // the user asks again while the message is open
    };
    EXPECT_EQ(check.answered(second, "1.1", texts), UpdateOutcome::NoUpdate);
    EXPECT_TRUE(waitingWhileShown);
    EXPECT_TRUE(check.isWaiting());  // the third check runs on
    EXPECT_EQ(check.answered(second, "1.2", texts), std::nullopt);
    EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
}  // namespace hushgate::test
