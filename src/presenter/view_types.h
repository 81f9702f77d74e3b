#pragma once

#include <optional>
#include <vector>

#include "text.h"

namespace hushgate {

// The controls the presenters give texts to, named as in every window. Each
// view knows only its own window's.
enum class Control {
    // frmMain
    mnuFile,
    mnuExit,
    mnuHelp,
    mnuCheckUpdates,
    mnuLanguage,
    mnuDonate,
    mnuWeb,
    mnuAbout,
    mnuFacebook,
    Toolbar1Button2,  // tool-tips of the toolbar's buttons, numbered from 1
    Toolbar1Button3,  // in the toolbar's own order (button 1 is the separator)
    Toolbar1Button4,
    Toolbar1Button5,
    cmdBlockFB,
    cmdUnblockFB,
    lblStatus,
    lblStatusEnd,
    // frmAbout
    frmAbout,  // the dialog's title
    lblTitle,
    lblVersion,
    lblVer_JP,
    lblThis,
    lblCopyright,
    lblLink,
    cmdClose,
    // frmLanguage
    frmLanguage,  // the dialog's title
    lblSelect,
    cmdOK,
    cmdCancel,
    lblTranslatedByName,
    lblTranslatedByEmail,
    lblTranslatedByWeb,
};

// The control's name, as its window names it ("lblStatusEnd").
const char* ControlName(Control control);

// One step of applying a language to a window: a new caption (tool-tip for
// a toolbar button, title for a dialog), a charset step (the control's font
// takes that character set), or both. Views apply the steps in order.
struct TextStep {
    Control control;
    std::optional<Text> text;
    std::optional<int> characterSet;

    bool operator==(const TextStep&) const = default;
};
using TextSteps = std::vector<TextStep>;

// A modal message box. The view shows it and returns the button pressed.
enum class MessageIcon { Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

struct Message {
    MessageIcon icon = MessageIcon::Information;
    Text title;
    Text text;
    MessageButtons buttons = MessageButtons::Ok;

    bool operator==(const Message&) const = default;
};

// What the main window shows about the hosts file.
enum class HostsState { Blocked, Unblocked, Unknown };

struct StatusDisplay {
    HostsState state = HostsState::Unknown;
    // Pictures shown: the large mark on the panel and the padlock beside the
    // status text (each pair never both).
    bool imgBlocked = false;
    bool imgUnblocked = false;
    bool imgStatusBlocked = false;
    bool imgStatusUnblocked = false;
    Text stateWord;  // lblStatusEnd
    bool blockEnabled = false;
    bool unblockEnabled = false;
    // The status line's tool tip and accessible description, "" for none:
    // why the state is unknown, or how much of the block a partly blocked
    // file holds. The layout stays as it is.
    Text detail;

    bool operator==(const StatusDisplay&) const = default;
};

}  // namespace hushgate
