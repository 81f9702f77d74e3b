#pragma once

#include <string_view>

namespace hushgate {

// What a click on a toolbar button does, chosen by the button's key.
enum class ToolbarCommand {
    Nothing,         // the separator, or a key nobody knows
    ShowLanguage,    // "language": the language dialog
    ShowAbout,       // "about": the About dialog
    OpenHomePage,    // "web"
    OpenSocialPage,  // "facebook": the maker's page on the social network
};

// Exact, case-sensitive comparison; "Web" or " web" is nothing.
ToolbarCommand ToolbarCommandFor(std::string_view key);

}  // namespace hushgate
