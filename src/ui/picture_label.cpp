#include "picture_label.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

namespace hushgate {

PictureLabel::PictureLabel(QWidget* parent, const char* source, const char* source2x)
    : QLabel(parent) {
    const QPixmap layoutSize(QString::fromLatin1(source));
    setPixmap(layoutSize);
    size_ = layoutSize.size();
    picture_.addPixmap(layoutSize);
    if (source2x != nullptr) {
        picture_.addFile(QString::fromLatin1(source2x));
    }
}

void PictureLabel::paintEvent(QPaintEvent* /*event*/) {
    if (size_.isEmpty()) {
        return;
    }
    // QIcon picks the smallest source at least as large as the screen needs
    // and scales it down smoothly; the result carries the ratio, so it is
    // drawn at the layout size.
    QPainter painter(this);
    // What is really painted on (the window's back buffer, or a picture the
    // widget is rendered into) knows the ratio.
    const QPaintDevice* target = painter.paintEngine()->paintDevice();
    const qreal ratio = target != nullptr ? target->devicePixelRatioF() : devicePixelRatioF();
    painter.drawPixmap(0, 0, picture_.pixmap(size_, ratio));
}

}  // namespace hushgate
