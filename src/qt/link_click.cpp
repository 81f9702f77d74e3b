#include "link_click.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace hushgate {

namespace {

class LabelClickFilter : public QObject {
public:
    LabelClickFilter(QLabel* label, std::function<void()> action)
        : QObject(label), label_(label), action_(std::move(action)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != label_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
                break;
            case QEvent::MouseButtonRelease: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                // Released elsewhere means the user changed their mind.
                const bool click = pressed_ && mouse->button() == Qt::LeftButton &&
                                   label_->rect().contains(mouse->position().toPoint());
                pressed_ = false;
                if (click && action_) {
                    action_();
                }
                break;
            }
            default:
                break;
        }
        return false;
    }

private:
    QLabel* label_;
    std::function<void()> action_;
    bool pressed_ = false;
};

}  // namespace

void OnLabelClick(QLabel* label, std::function<void()> action) {
    label->installEventFilter(new LabelClickFilter(label, std::move(action)));
}

}  // namespace hushgate
