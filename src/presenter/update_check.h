#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "main_view.h"
#include "text.h"
#include "web_constants.h"

namespace hushgate {

struct UpdateCheckSettings {
    std::string versionFile = web::kVersionFile;
    // Opened when the user answers Yes to the new-version message.
    std::string homePage = web::kHomePage;
    unsigned ownMajor = web::kOwnVersionMajor;
    unsigned ownMinor = web::kOwnVersionMinor;
};

// The texts of the two messages, taken when an answer is evaluated, so that
// the language in force at that moment is used.
struct UpdateCheckTexts {
    Text title;
    Text newVersion;
    Text version;
    Text download;
    Text noUpdate;
};

enum class UpdateOutcome { NewVersion, NoUpdate, Failed };

// "Check for updates...": what the answer means and what the user is told.
// The request itself is the front end's (MainView::startVersionRequest).
// Only one check is tracked: starting another abandons the one in
// progress, whose answer is then never evaluated, even if it arrives while
// the message of a later one is open. A failure (no connection, time-out,
// an answer other than 2xx) is silent: a check the user started by hand
// should not nag with network trouble they did not ask about.
class UpdateCheck {
public:
    explicit UpdateCheck(MainView& view) : view_(view) {}
    ~UpdateCheck() { *alive_ = false; }
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    void start();
    // A request is in progress, or its answer is being shown.
    bool isWaiting() const { return waiting_; }

    // See MainPresenter::versionAnswered.
    std::optional<UpdateOutcome> answered(std::uint64_t check,
                                          const std::optional<std::string>& body,
                                          const UpdateCheckTexts& texts);

    UpdateCheckSettings settings;

private:
    MainView& view_;
    // Counts checks, so that a late answer of an earlier one is recognised.
    std::uint64_t current_ = 0;
    bool waiting_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace hushgate
