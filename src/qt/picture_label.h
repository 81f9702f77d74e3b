#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>

namespace hushgate {

// An image control: shows a picture at its layout size, drawn from whichever
// of its two sources (the layout's and one twice as large) suits the device
// pixel ratio of what it is painted on, scaled smoothly to that ratio. So the
// picture is sharp at 100 %, 125 %, 150 % and 200 % and on every screen the
// window moves to. pixmap() is the layout-size picture.
class PictureLabel : public QLabel {
public:
    // `source` is drawn at its own size; `source2x` is the same picture at
    // twice that size (may be null), read the first time it is painted on a
    // scaled screen: at 100 % it is never decoded.
    PictureLabel(QWidget* parent, const char* source, const char* source2x);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage source_;
    QString source2xPath_;
    QImage source2x_;
    QPixmap scaled_;  // for the ratio last painted at
};

}  // namespace hushgate
