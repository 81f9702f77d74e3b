#pragma once

#include <functional>

class QAction;
class QWidget;

namespace hushgate {

// The dialogs the toolbar opens; they belong to the main window.
struct ToolbarDialogs {
    std::function<void()> showLanguage;
    std::function<void()> showAbout;
};

// The toolbar's click handler: acts on the key the button carries in
// QAction::data() ("language", "about", "web", "facebook"). The separator and
// any other key do nothing. Web pages open with `owner` as their owner.
void Toolbar1_ButtonClick(QWidget* owner, const QAction* button, const ToolbarDialogs& dialogs);

}  // namespace hushgate
