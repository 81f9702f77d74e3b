#pragma once

#include <cstdint>
#include <string>

#include "view_types.h"

namespace hushgate {

// What the main window's presenter asks of the window. A front end (the Qt
// window, the Win32 window, a test) implements it; every call comes on the
// user-interface thread, from inside a call into the presenter.
class MainView {
public:
    virtual ~MainView() = default;

    // Steps of the load step that only the window can take, called by
    // MainPresenter::load in its order.
    virtual void SetIcon() = 0;           // the title-bar icon "AAA"
    virtual void AttachMenuImages() = 0;  // the images beside the menu items
    virtual void SetToolbarFlat() = 0;    // the toolbar's flat look
    virtual void DoEvents() = 0;          // handle pending window events
    // The toolbar's images from the icon library; false when the library
    // cannot be used (the toolbar then stays without images).
    virtual bool GetIconsFromLibrary(const std::string& sLibraryFilePath) = 0;
    // The state word after the status text, 70 twips after its end.
    virtual void PlaceStateWord() = 0;

    virtual void applyTexts(const TextSteps& steps) = 0;
    // Pictures, state word and buttons, in that order. Where the focus goes
    // when a focused button is disabled is the window's concern: never to
    // the other button by itself.
    virtual void showStatus(const StatusDisplay& status) = 0;
    // While a change runs both are disabled; the outcome sets them again.
    virtual void setCommandsEnabled(bool block, bool unblock) = 0;
    virtual MessageAnswer showMessage(const Message& message) = 0;
    // Hands an address to the default browser (or mail program).
    virtual void openAddress(const Text& address) = 0;
    // Show the dialog (modeless, owned by the main window), making it first
    // with its presenter when it is not open, and give it its icon.
    virtual void showLanguageDialog() = 0;
    virtual void showAboutDialog() = 0;
    // Fetch `url` in the background (time-out 2 s per step) and hand the
    // answer to MainPresenter::versionAnswered with the same `check`.
    // Starting another request abandons the one running.
    virtual void startVersionRequest(std::uint64_t check, const std::string& url) = 0;
    // Close the main window; its closing calls MainPresenter::unload.
    virtual void closeWindow() = 0;
    // Hide and close every window of the program, then end it.
    virtual void UnloadAllForms() = 0;
};

}  // namespace hushgate
