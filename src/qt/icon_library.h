#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <span>

class QImage;
class QToolBar;
class QWidget;

namespace hushgate {

// One picture made from an icon image of the icon library, keyed
// "#" number " " size in bytes " " width "x" height, e.g. "#7 1128 16x16".
// `picture` is the frame of its icon nearest the toolbar's 24 pixels (the
// one the key names); `icon` holds every frame of that icon, so a screen
// scaled above 100 % draws the frame made for its size.
struct ToolbarImage {
    QString key;
    QPixmap picture;
    QIcon icon;
};

struct ToolbarImages {
    // False when the file is missing, cannot be read or is not a PE file;
    // true for a PE file without any numbered icon image.
    bool libraryUsable = false;
    // One picture per icon (PickIconFrames at 24 pixels: every numbered
    // icon image of a library of single images) that could be decoded, in
    // ascending number order; a broken one is left out and the following
    // ones move up.
    QList<ToolbarImage> images;
};

// Reads the toolbar pictures from the icon library (resources.dll) at
// sLibraryFilePath with our own PE reader, on every platform. Shows the wait
// pointer while it works. Needs a QGuiApplication.
ToolbarImages LoadToolbarImages(const QString& sLibraryFilePath);

// Gives toolbar position i (toolbar->actions() in order) picture i, for i up
// to the smaller count. Position 0 is the separator, which takes the first
// picture and shows nothing; the buttons follow.
void ApplyToolbarImages(QToolBar* toolbar, const QList<ToolbarImage>& images);

// Decodes one icon image as a PE file stores it (a bitmap or a PNG without
// the .ico file header); a null image when it cannot be decoded.
QImage IconImageToPicture(std::span<const std::uint8_t> image);

// Gives `window` the icon group sIconResName ("AAA" main window, "FFF"
// language dialog, "ZZZ" About dialog; case does not matter). With
// bSetAsAppIcon it also becomes the application's icon, the one the desktop
// shows for the program and that windows without an icon of their own show.
// An unknown name leaves the window (and the application) without an icon.
void SetIcon(QWidget* window, const QString& sIconResName, bool bSetAsAppIcon);

}  // namespace hushgate
