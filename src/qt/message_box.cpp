#include "message_box.h"

namespace hushgate {

MessageBox::Handler& MessageBox::handler() {
    static Handler instance;
    return instance;
}

void MessageBox::setHandler(Handler handler) {
    MessageBox::handler() = std::move(handler);
}

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon,
                                             const QString& title, const QString& text,
                                             QMessageBox::StandardButtons buttons) {
    if (handler()) {
        return handler()({icon, title, text, buttons});
    }
    QMessageBox box(icon, title, text, buttons, parent);
    // Addresses, file names and reasons can be copied from every message.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace hushgate
