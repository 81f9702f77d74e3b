#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <functional>

namespace hushgate {

// A label that does something when clicked, like the links of the dialogs: a
// left-button press and release on the label.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;

    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = event->button() == Qt::LeftButton;
        QLabel::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool click = pressed_ && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        pressed_ = false;
        QLabel::mouseReleaseEvent(event);
        if (click && onClick) {
            onClick();
        }
    }

private:
    bool pressed_ = false;
};

}  // namespace hushgate
