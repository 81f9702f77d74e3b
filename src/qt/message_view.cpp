#include "message_view.h"

#include <QLabel>
#include <QPushButton>

#include "language_text.h"
#include "message_box.h"

namespace hushgate {

MessageAnswer ShowMessage(QWidget* owner, const Message& message) {
    static constexpr QMessageBox::Icon icons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                  QMessageBox::Critical, QMessageBox::Question};
    const QMessageBox::StandardButtons buttons = message.buttons == MessageButtons::YesNo
                                                     ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok;
    switch (MessageBox::show(owner, icons[static_cast<int>(message.icon)], ToQString(message.title),
                             ToQString(message.text), buttons)) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return MessageAnswer::Ok;
    }
}

void ApplyDialogTexts(QWidget* dialog, Control self, const TextSteps& steps) {
    for (const TextStep& step : steps) {
        QWidget* target =
            step.control == self
                ? dialog
                : dialog->findChild<QWidget*>(QString::fromLatin1(ControlName(step.control)));
        if (target == nullptr) {
            continue;
        }
        if (step.text) {
            const QString text = ToQString(*step.text);
            if (target == dialog) {
                dialog->setWindowTitle(text);
            } else if (auto* button = qobject_cast<QPushButton*>(target)) {
                button->setText(text);
            } else if (auto* label = qobject_cast<QLabel*>(target)) {
                label->setText(text);
            }
        }
    }
}

}  // namespace hushgate
