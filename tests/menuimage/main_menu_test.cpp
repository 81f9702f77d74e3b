// The main window's menu images, on a menu bar built the way the main window
// builds its own: each image beside its item, and the opened Help menu drawn
// to a picture with one item disabled.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "main_menu_images.h"
#include "menu_image.h"

using hushgate::AttachMainMenuImages;
using hushgate::clsMenuImage;

namespace {

struct MainMenus {
    QMainWindow window;
    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuCheckUpdates = nullptr;
    QAction* mnuLine2 = nullptr;
    QAction* mnuLanguage = nullptr;
    QAction* mnuDonate = nullptr;
    QAction* mnuWeb = nullptr;
    QAction* mnuAbout = nullptr;

    MainMenus() {
        mnuFile = window.menuBar()->addMenu(QStringLiteral("File"));
        mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
        mnuHelp = window.menuBar()->addMenu(QStringLiteral("Help"));
        mnuCheckUpdates = mnuHelp->addAction(QStringLiteral("Check for updates..."));
        mnuLine2 = mnuHelp->addSeparator();
        mnuLanguage = mnuHelp->addAction(QStringLiteral("Change language"));
        mnuDonate = mnuHelp->addAction(QStringLiteral("Donate..."));
        mnuWeb = mnuHelp->addAction(QStringLiteral("Web..."));
        mnuAbout = mnuHelp->addAction(QStringLiteral("About..."));
    }
};

QImage iconImage(QAction* action, QIcon::Mode mode) {
    return action->icon()
        .pixmap(QSize(16, 16), 1.0, mode)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

int spread(QRgb c) {
    return qMax(qRed(c), qMax(qGreen(c), qBlue(c))) - qMin(qRed(c), qMin(qGreen(c), qBlue(c)));
}

// The image column of an item as drawn: its left part, as wide as it is high
// (the text begins further right in every style), less the menu's frame.
QRect imageColumn(QMenu* menu, QAction* action) {
    const QRect item = menu->actionGeometry(action);
    return QRect(item.left(), item.top(), item.height(), item.height()).adjusted(2, 1, 0, -1);
}

struct Colours {
    int colourful = 0;  // clearly coloured pixels
    int marked = 0;     // pixels that differ from the item's background
};

Colours coloursIn(const QImage& shot, const QRect& area, QRgb background) {
    Colours found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = shot.pixel(x, y);
            found.colourful += spread(c) > 40 ? 1 : 0;
            found.marked += (c & 0xFFFFFF) != (background & 0xFFFFFF) ? 1 : 0;
        }
    }
    return found;
}

}  // namespace

class MainMenuTest : public QObject {
    Q_OBJECT

private slots:
    void fiveItemsCarryTheirImages() {
        MainMenus menus;
        clsMenuImage images;
        QVERIFY(AttachMainMenuImages(images, menus.window.menuBar()));
        QCOMPARE(images.ImageCount(), 4);
        QCOMPARE(images.ImageSize(), QSize(16, 16));
        // In list order: image i belongs beside withImage[i].
        QAction* const withImage[] = {menus.mnuExit, menus.mnuCheckUpdates, menus.mnuLanguage,
                                      menus.mnuWeb, menus.mnuAbout};
        for (int i = 0; i < 5; ++i) {
            QAction* action = withImage[i];
            QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
            const QImage shown = iconImage(action, QIcon::Normal);
            const QImage stored = images.Image(i);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const QRgb a = shown.pixel(x, y);
                    const QRgb b = stored.pixel(x, y);
                    QCOMPARE(qAlpha(a), qAlpha(b));
                    if (qAlpha(b) == 255) {
                        QCOMPARE(a, b);
                    }
                }
            }
            const QImage grey = iconImage(action, QIcon::Disabled);
            QCOMPARE(qAlpha(grey.pixel(8, 8)), qRound(qAlpha(stored.pixel(8, 8)) * 0.5));
        }
        QVERIFY(menus.mnuDonate->icon().isNull());
        QVERIFY(menus.mnuLine2->icon().isNull());
        QVERIFY(menus.mnuFile->menuAction()->icon().isNull());
        QVERIFY(menus.mnuHelp->menuAction()->icon().isNull());
    }

    void openedHelpMenuShowsColourAndGrey() {
        MainMenus menus;
        clsMenuImage images;
        QVERIFY(AttachMainMenuImages(images, menus.window.menuBar()));
        menus.mnuWeb->setEnabled(false);
        menus.window.resize(300, 200);
        menus.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&menus.window));
        menus.mnuHelp->popup(menus.window.mapToGlobal(QPoint(40, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menus.mnuHelp));
        const QImage shot = menus.mnuHelp->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(shot.save(QStringLiteral(HUSHGATE_MENU_RENDER ".png")));
        // Four times as large, for looking at the images closely.
        QVERIFY(shot.scaled(shot.size() * 4).save(QStringLiteral(HUSHGATE_MENU_RENDER "-x4.png")));

        // The item background, taken at the right end of the disabled item.
        const QRect web = menus.mnuHelp->actionGeometry(menus.mnuWeb);
        const QRgb background = shot.pixel(web.right() - 2, web.center().y());
        for (QAction* action : {menus.mnuCheckUpdates, menus.mnuLanguage, menus.mnuAbout}) {
            const Colours c = coloursIn(shot, imageColumn(menus.mnuHelp, action), background);
            QVERIFY2(c.colourful > 10, qPrintable(action->text()));
        }
        // The disabled item shows its image, and only in grey.
        const Colours disabled =
            coloursIn(shot, imageColumn(menus.mnuHelp, menus.mnuWeb), background);
        QCOMPARE(disabled.colourful, 0);
        QVERIFY(disabled.marked > 20);
        // Donate has no image.
        const Colours none =
            coloursIn(shot, imageColumn(menus.mnuHelp, menus.mnuDonate), background);
        QCOMPARE(none.marked, 0);
        menus.mnuHelp->close();
    }
};

QTEST_MAIN(MainMenuTest)
#include "main_menu_test.moc"
