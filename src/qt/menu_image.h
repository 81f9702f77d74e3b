// MenuImageList: a list of small images of one size, and the menu items of
// one menu bar that show them.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

class QAction;
class QIcon;
class QMenuBar;
class QWidget;

namespace hushgate {

// Every image is scaled to the list's size (and ghosted, if asked) once,
// when it is added; menu items then get ready-made icons. Qt menus draw item
// images themselves, so no window is ever subclassed.
class MenuImageList : public QObject {
    Q_OBJECT

public:
    explicit MenuImageList(QObject* parent = nullptr);

    // Sets the menu bar whose items get images and the size of every image,
    // and empties the list (old images have the old size). With raiseEvent,
    // MenuMessages reports the items highlighted in the menu bar and in the
    // menus it holds now; that needs a menu bar, else the result is false.
    bool Init(QMenuBar* menuBar, int imgWidth, int imgHeight, bool raiseEvent = false);

    // Icon and cursor files are read here (their directory is recognised by
    // its third byte, the type); every other format through Qt's readers.
    bool AddImageFromStream(const QByteArray& data, bool ghosted = false);
    // Files ending in "ICO" or "CUR" (any case) are read as icons.
    bool AddImageFromFile(const QString& fileName, bool ghosted = false);
    bool AddIconFromHandle(const QIcon& icon, bool ghosted = false);

    // Later images move down one index; items already showing an image keep it.
    bool RemoveImage(int index);
    void Clear();
    // The highest index: -1 when the list is empty.
    int ImageCount() const { return static_cast<int>(images_.size()) - 1; }

    // Always true: Qt draws item images, the way new-style menus do.
    bool IsWindowVistaOrLater() const { return true; }

    // Gives the item at menuPos (separators counted) of the menu reached from
    // the menu bar through the submenu positions subMenuPos (empty: the menu
    // bar itself) image imageId, or no image with -1. False when the path or
    // the item leads nowhere or there is no such image.
    bool PutImageToVBMenu(int imageId, int menuPos, const QList<int>& subMenuPos = {});
    // Qt's styles already draw a check mark in the image column (a checked
    // item with an image gets a frame round it), so there is no separate
    // column to take away; kept so that callers need not know.
    void RemoveMenuCheckVB(const QList<int>& subMenuPos);

    QSize ImageSize() const { return {width_, height_}; }
    // Image `index` as stored (Format_ARGB32, not premultiplied); null if none.
    QImage Image(int index) const;
    // How image `index` looks beside a disabled item: its luminance grey at
    // half opacity.
    QImage DisabledImage(int index) const;
    // The icon PutImageToVBMenu gives an item: the image, and the grey image
    // for the disabled state.
    QIcon Icon(int index) const;

signals:
    // An item of the menu bar or one of its menus was highlighted (Init with
    // raiseEvent).
    void MenuMessages(QAction* action);

private:
    bool AddImage(const QImage& source, bool ghosted);
    QImage ImageFromIconBytes(const QByteArray& data) const;
    // The menu bar or the menu the positions lead to; null when they lead nowhere.
    QWidget* MenuAt(const QList<int>& subMenuPos) const;
    void ReportHighlights(QWidget* menu);

    QPointer<QMenuBar> menuBar_;
    int width_ = 0;
    int height_ = 0;
    QList<QImage> images_;
    QList<QMetaObject::Connection> highlightConnections_;
};

}  // namespace hushgate
