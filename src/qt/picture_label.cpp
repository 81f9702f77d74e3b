#include "picture_label.h"

#include <QPaintEngine>
#include <QPainter>

namespace hushgate {

PictureLabel::PictureLabel(QWidget* parent, const char* source, const char* source2x)
    : QLabel(parent),
      source_(QString::fromLatin1(source)),
      source2xPath_(source2x != nullptr ? QString::fromLatin1(source2x) : QString()) {
    source_.setDevicePixelRatio(1);
    setPixmap(QPixmap::fromImage(source_));
}

void PictureLabel::paintEvent(QPaintEvent* /*event*/) {
    if (source_.isNull()) {
        return;
    }
    QPainter painter(this);
    // What is really painted on (the window's back buffer, or a picture the
    // widget is rendered into) knows the ratio.
    const QPaintDevice* target = painter.paintEngine()->paintDevice();
    const qreal ratio = target != nullptr ? target->devicePixelRatioF() : devicePixelRatioF();
    if (scaled_.isNull() || scaled_.devicePixelRatio() != ratio) {
        if (ratio > 1 && !source2xPath_.isEmpty()) {
            source2x_.load(source2xPath_);
            // Qt reads a file named "@2x" as a picture of half its pixel size.
            source2x_.setDevicePixelRatio(1);
            source2xPath_.clear();
        }
        const QImage& best = ratio > 1 && !source2x_.isNull() ? source2x_ : source_;
        const QSize pixels = (QSizeF(source_.size()) * ratio).toSize();
        QImage image = best.size() == pixels
                           ? best
                           : best.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
        scaled_ = QPixmap::fromImage(image);
    }
    painter.drawPixmap(0, 0, scaled_);
}

}  // namespace hushgate
