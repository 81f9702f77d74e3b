#include "toolbar_command.h"

namespace hushgate {

ToolbarCommand ToolbarCommandFor(std::string_view key) {
    // Checked in the order the buttons stand on the toolbar; the first match wins.
    if (key == "language") {
        return ToolbarCommand::ShowLanguage;
    }
    if (key == "about") {
        return ToolbarCommand::ShowAbout;
    }
    if (key == "web") {
        return ToolbarCommand::OpenHomePage;
    }
    if (key == "facebook") {
        return ToolbarCommand::OpenSocialPage;
    }
    return ToolbarCommand::Nothing;
}

}  // namespace hushgate
