// The main window's menu images: which list image goes beside which item.
#pragma once

#include <QList>

class QMenuBar;

namespace hushgate {

class MenuImageList;

// Where one list image goes: the item at menuPos (separators counted) of the
// menu reached through the submenu positions subMenuPos.
struct MenuImagePlace {
    int imageId;
    QList<int> subMenuPos;
    int menuPos;
};

// File (0): Exit (0); Help (1): Check for updates (0), separator (1), Change
// language (2), Donate (3, no image), Web (4), About (5).
inline const QList<MenuImagePlace> kMainMenuImagePlaces = {
    {0, {0}, 0},  // mnuExit
    {1, {1}, 0},  // mnuCheckUpdates
    {2, {1}, 2},  // mnuLanguage
    {3, {1}, 4},  // mnuWeb
    {4, {1}, 5},  // mnuAbout
};

// Sets up `images` for the main window's menu bar (16 x 16 images), adds the
// five compiled-in menu images ":/CUSTOM/PNG_0".."PNG_4" in that order, so
// that each gets the index in its name, and puts each beside its item. False
// when an image could not be added or an item was not found; what could be
// done is done all the same.
bool AttachMainMenuImages(MenuImageList& images, QMenuBar* menuBar);

}  // namespace hushgate
