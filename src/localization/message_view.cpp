#include "message_view.h"

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

}  // namespace hushgate
