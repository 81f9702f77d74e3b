#include "main_menu_images.h"

#include <QFile>
#include <QString>

#include "menu_image.h"
#include "resource_names.h"

namespace hushgate {

bool AttachMainMenuImages(MenuImageList& images, QMenuBar* menuBar) {
    bool ok = images.Init(menuBar, 16, 16, false);
    for (const char* resource : resources::kMenuImages) {
        QFile file(QString::fromLatin1(resource));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        ok = images.AddImageFromStream(bytes, false) && ok;
    }
    for (const MenuImagePlace& place : kMainMenuImagePlaces) {
        ok = images.PutImageToVBMenu(place.imageId, place.menuPos, place.subMenuPos) && ok;
    }
    return ok;
}

}  // namespace hushgate
