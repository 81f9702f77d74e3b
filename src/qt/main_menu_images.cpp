#include "main_menu_images.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QString>

#include "menu_image.h"
#include "resource_names.h"

namespace hushgate {

namespace {

// The list's images are 16 pixels; at 200 % the item's icon takes the
// 32-pixel drawing of the same picture rather than the 16 enlarged.
void addSharpImage(QMenuBar* menuBar, const MenuImagePlace& place) {
    const QList<QAction*> titles = menuBar->actions();
    const int title = place.subMenuPos.value(0, -1);
    QMenu* menu = title >= 0 && title < titles.size() ? titles[title]->menu() : nullptr;
    QAction* item = menu != nullptr ? menu->actions().value(place.menuPos) : nullptr;
    QPixmap sharp(QString::fromLatin1(resources::kMenuImages2x[place.imageId]));
    if (item == nullptr || item->icon().isNull() || sharp.isNull()) {
        return;
    }
    sharp.setDevicePixelRatio(2);
    QIcon icon = item->icon();
    for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
        icon.addPixmap(sharp, QIcon::Normal, state);
    }
    item->setIcon(icon);
}

}  // namespace

bool AttachMainMenuImages(MenuImageList& images, QMenuBar* menuBar) {
    bool ok = images.Init(menuBar, 16, 16, false);
    for (const char* resource : resources::kMenuImages) {
        QFile file(QString::fromLatin1(resource));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        ok = images.AddImageFromStream(bytes, false) && ok;
    }
    for (const MenuImagePlace& place : kMainMenuImagePlaces) {
        ok = images.PutImageToVBMenu(place.imageId, place.menuPos, place.subMenuPos) && ok;
        addSharpImage(menuBar, place);
    }
    return ok;
}

}  // namespace hushgate
