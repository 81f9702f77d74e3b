#include "focus_style.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

namespace hushgate {

namespace {

class FocusFrame : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !(option->state & State_HasFocus)) {
            return;
        }
        // Four pixels in, clear of the edge where styles mark the default
        // button (and Fusion the focus).
        const QRect inside = option->rect.adjusted(4, 4, -4, -4);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(inside.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

}  // namespace

QStyle* FocusFrameStyle() {
    // No base style: the proxy follows the application's style.
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new FocusFrame;
        style->setParent(qApp);
    }
    return style;
}

}  // namespace hushgate
