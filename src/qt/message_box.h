#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace hushgate {

// Every message box of the program goes through here, so that tests can see
// what would have been shown and answer it without a modal loop.
class MessageBox {
public:
    struct Shown {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    using Handler = std::function<QMessageBox::StandardButton(const Shown&)>;

    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    static void information(QWidget* parent, const QString& title, const QString& text) {
        show(parent, QMessageBox::Information, title, text);
    }
    static void critical(QWidget* parent, const QString& title, const QString& text) {
        show(parent, QMessageBox::Critical, title, text);
    }

    // Replaces the real message box (tests); an empty handler restores it.
    static void setHandler(Handler handler);

private:
    static Handler& handler();
};

}  // namespace hushgate
