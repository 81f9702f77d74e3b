#include "menu_image.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <cstdint>

#include "colour_matrix.h"
#include "icon_directory.h"

namespace hushgate {

namespace {

menuimage::Bytes bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

// The whole image through the matrix, in QImage::Format_ARGB32.
QImage ApplyColourMatrix(const QImage& image, const ColourMatrix& matrix) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            line[x] = hushgate::ApplyColourMatrix(line[x], matrix);
        }
    }
    return result;
}

}  // namespace

MenuImageList::MenuImageList(QObject* parent) : QObject(parent) {}

bool MenuImageList::Init(QMenuBar* menuBar, int imgWidth, int imgHeight, bool raiseEvent) {
    width_ = imgWidth;
    height_ = imgHeight;
    menuBar_ = menuBar;
    Clear();
    for (const QMetaObject::Connection& connection : highlightConnections_) {
        disconnect(connection);
    }
    highlightConnections_.clear();
    if (!raiseEvent) {
        return true;
    }
    if (menuBar == nullptr) {
        return false;
    }
    ReportHighlights(menuBar);
    return true;
}

void MenuImageList::ReportHighlights(QWidget* menu) {
    if (auto* bar = qobject_cast<QMenuBar*>(menu)) {
        highlightConnections_.append(
            connect(bar, &QMenuBar::hovered, this, &MenuImageList::MenuMessages));
    } else if (auto* popup = qobject_cast<QMenu*>(menu)) {
        highlightConnections_.append(
            connect(popup, &QMenu::hovered, this, &MenuImageList::MenuMessages));
    }
    for (QAction* action : menu->actions()) {
        if (QMenu* sub = action->menu()) {
            ReportHighlights(sub);
        }
    }
}

QImage MenuImageList::ImageFromIconBytes(const QByteArray& data) const {
    const auto frame = menuimage::IconFromBytes(bytesOf(data), width_, height_);
    if (!frame) {
        return {};
    }
    if (frame->isPng) {
        return QImage::fromData(frame->png.data(), static_cast<int>(frame->png.size()), "PNG");
    }
    QImage image(frame->width, frame->height, QImage::Format_ARGB32);
    if (image.isNull()) {
        return {};
    }
    for (int y = 0; y < frame->height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < frame->width; ++x) {
            line[x] = frame->argb[static_cast<std::size_t>(y) * frame->width + x];
        }
    }
    return image;
}

bool MenuImageList::AddImageFromStream(const QByteArray& data, bool ghosted) {
    if (data.isEmpty()) {
        return false;
    }
    if (menuimage::LooksLikeIconDirectory(bytesOf(data))) {
        return AddImage(ImageFromIconBytes(data), ghosted);
    }
    return AddImage(QImage::fromData(data), ghosted);
}

bool MenuImageList::AddImageFromFile(const QString& fileName, bool ghosted) {
    const QString kind = fileName.right(3).toUpper();
    if (kind == QLatin1String("ICO") || kind == QLatin1String("CUR")) {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        return AddImage(ImageFromIconBytes(file.readAll()), ghosted);
    }
    return AddImage(QImage(fileName), ghosted);
}

bool MenuImageList::AddIconFromHandle(const QIcon& icon, bool ghosted) {
    if (icon.isNull() || width_ <= 0 || height_ <= 0) {
        return false;
    }
    // At a pixel ratio of 1 the pixmap has the list's size or the icon's
    // largest smaller one; AddImage scales it the rest of the way.
    return AddImage(icon.pixmap(QSize(width_, height_), 1.0).toImage(), ghosted);
}

bool MenuImageList::AddImage(const QImage& source, bool ghosted) {
    if (source.isNull() || width_ <= 0 || height_ <= 0) {
        return false;
    }
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    if (image.size() != ImageSize()) {
        image = image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_ARGB32);
    }
    if (image.isNull()) {  // too large to hold
        return false;
    }
    image.setDevicePixelRatio(1.0);
    if (ghosted) {
        image = ApplyColourMatrix(image, kGhostMatrix);
    }
    images_.append(image);
    return true;
}

bool MenuImageList::RemoveImage(int index) {
    if (index < 0 || index > ImageCount()) {
        return false;
    }
    images_.removeAt(index);
    return true;
}

void MenuImageList::Clear() {
    images_.clear();
}

QImage MenuImageList::Image(int index) const {
    return index >= 0 && index <= ImageCount() ? images_[index] : QImage();
}

QImage MenuImageList::DisabledImage(int index) const {
    const QImage image = Image(index);
    return image.isNull() ? image : ApplyColourMatrix(image, kDisabledMatrix);
}

QIcon MenuImageList::Icon(int index) const {
    const QImage image = Image(index);
    if (image.isNull()) {
        return {};
    }
    // Both states are given, so that a checked item finds them too; left to
    // itself Qt would make the disabled look with the style's own recipe.
    const QPixmap normal = QPixmap::fromImage(image);
    const QPixmap disabled = QPixmap::fromImage(DisabledImage(index));
    QIcon icon;
    for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
        icon.addPixmap(normal, QIcon::Normal, state);
        icon.addPixmap(disabled, QIcon::Disabled, state);
    }
    return icon;
}

QWidget* MenuImageList::MenuAt(const QList<int>& subMenuPos) const {
    QWidget* menu = menuBar_.data();
    for (const int position : subMenuPos) {
        if (menu == nullptr) {
            break;
        }
        const QList<QAction*> items = menu->actions();
        menu = position >= 0 && position < items.size() ? items[position]->menu() : nullptr;
    }
    return menu;
}

bool MenuImageList::PutImageToVBMenu(int imageId, int menuPos, const QList<int>& subMenuPos) {
    QWidget* menu = MenuAt(subMenuPos);
    if (menu == nullptr) {
        return false;
    }
    const QList<QAction*> items = menu->actions();
    if (menuPos < 0 || menuPos >= items.size()) {
        return false;
    }
    if (imageId == -1) {
        items[menuPos]->setIcon(QIcon());
        return true;
    }
    if (imageId < 0 || imageId > ImageCount()) {
        return false;
    }
    items[menuPos]->setIcon(Icon(imageId));
    return true;
}

void MenuImageList::RemoveMenuCheckVB(const QList<int>& subMenuPos) {
    // Nothing to change in any Qt style (see the declaration); a path that
    // leads nowhere is as harmless as one that leads to a menu.
    (void)subMenuPos;
}

}  // namespace hushgate
