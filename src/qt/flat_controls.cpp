#include "flat_controls.h"

#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace hushgate {

namespace {

// The toolbar's own buttons, one per action (separators have none).
QList<QToolButton*> buttonsOf(const QToolBar* toolbar) {
    QList<QToolButton*> buttons;
    for (QAction* action : toolbar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action))) {
            buttons.append(button);
        }
    }
    return buttons;
}

void setAutoRaise(const QToolBar* toolbar, bool on) {
    for (QToolButton* button : buttonsOf(toolbar)) {
        button->setAutoRaise(on);
    }
}

}  // namespace

bool IsToolbarFlat(const QToolBar* toolbar) {
    const QList<QToolButton*> buttons = buttonsOf(toolbar);
    return std::all_of(buttons.begin(), buttons.end(),
                       [](const QToolButton* button) { return button->autoRaise(); });
}

void SetToolbarFlat(QToolBar* toolbar, bool flat) {
    if (toolbar == nullptr) {
        return;
    }
    if (!flat && IsToolbarFlat(toolbar)) {
        setAutoRaise(toolbar, false);
    } else if (flat) {
        setAutoRaise(toolbar, true);
    }
    toolbar->update();
}

}  // namespace hushgate
