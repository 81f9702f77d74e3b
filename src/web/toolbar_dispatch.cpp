#include "toolbar_dispatch.h"

#include <QAction>

#include "open_web.h"
#include "toolbar_command.h"
#include "web_constants.h"

namespace hushgate {

void Toolbar1_ButtonClick(QWidget* owner, const QAction* button, const ToolbarDialogs& dialogs) {
    if (button == nullptr) {
        return;
    }
    // A separator's data is empty, which matches no key.
    const std::string key = button->data().toString().toStdString();
    switch (ToolbarCommandFor(key)) {
        case ToolbarCommand::ShowLanguage:
            if (dialogs.showLanguage) {
                dialogs.showLanguage();
            }
            break;
        case ToolbarCommand::ShowAbout:
            if (dialogs.showAbout) {
                dialogs.showAbout();
            }
            break;
        case ToolbarCommand::OpenHomePage:
            OpenWeb(owner, web::kHomePage);
            break;
        case ToolbarCommand::OpenSocialPage:
            OpenWeb(owner, web::kSocialPage);
            break;
        case ToolbarCommand::Nothing:
            break;
    }
}

}  // namespace hushgate
