// The main window's controls: menus, toolbar, picture panel and status line,
// placed as the layout gives them in twips.

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QToolBar>

#include "access_keys.h"
#include "flat_controls.h"
#include "main_window.h"
#include "picture_label.h"
#include "resource_names.h"
#include "twips.h"
#include "web_constants.h"
#include "window_controls.h"

namespace hushgate {

namespace {

namespace main_layout = layout::main_window;

QLabel* picture(QWidget* parent, const char* name, const char* source, const char* source2x,
                const layout::Rect& twips) {
    auto* label = new PictureLabel(parent, source, source2x);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(fromTwips(twips));
    return label;
}

// The toolbar is as high as the layout makes it (28 pixels) and its pictures
// are 24 pixels: the style's margins around the buttons would leave them 20
// pixels high and cut the pictures. So the toolbar keeps no margins.
class ToolbarStyle : public QProxyStyle {
public:
    ToolbarStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ToolBarItemMargin || metric == PM_ToolBarFrameWidth) {
            return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

void MainWindow::buildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuExit = mnuFile->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuCheckUpdates = mnuHelp->addAction(QStringLiteral("Check for updates..."));
    mnuLine2 = mnuHelp->addSeparator();
    mnuLanguage = mnuHelp->addAction(QStringLiteral("Change language"));
    mnuDonate = mnuHelp->addAction(QStringLiteral("Donate..."));
    mnuWeb = mnuHelp->addAction(QStringLiteral("Web..."));
    mnuAbout = mnuHelp->addAction(QStringLiteral("About..."));
    // After the layout's items, so their positions stay as they are.
    mnuFacebook = mnuHelp->addAction(QStringLiteral("Follow me on Facebook..."));
    mnuCheckUpdates->setObjectName(QStringLiteral("mnuCheckUpdates"));
    mnuLine2->setObjectName(QStringLiteral("mnuLine2"));
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    mnuDonate->setObjectName(QStringLiteral("mnuDonate"));
    mnuWeb->setObjectName(QStringLiteral("mnuWeb"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuFacebook->setObjectName(QStringLiteral("mnuFacebook"));
    for (QMenu* menu : {mnuFile, mnuHelp}) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::attachPendingMenuImages);
    }

    // F10 opens the File menu with its first item highlighted, as on every
    // desktop, so Return runs it; the arrow keys then move along the menus.
    auto* openMenus = new QAction(this);
    openMenus->setObjectName(QStringLiteral("openMenus"));
    openMenus->setShortcut(QKeySequence(Qt::Key_F10));
    openMenus->setShortcutContext(Qt::WindowShortcut);
    addAction(openMenus);
    connect(openMenus, &QAction::triggered, this, [this] {
        menuBar()->setActiveAction(mnuFile->menuAction());
        mnuFile->setActiveAction(mnuFile->actions().value(0));
    });
}

namespace {

std::u16string toU16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Gives each caption of one group its access key (access_keys.h).
void markGroup(const QList<QAction*>& group, const QString& taken) {
    std::vector<std::u16string> captions;
    for (const QAction* action : group) {
        captions.push_back(toU16(action->text()));
    }
    const std::vector<std::u16string> marked = WithAccessKeys(captions, toU16(taken));
    for (qsizetype i = 0; i < group.size(); ++i) {
        group[i]->setText(QString::fromStdU16String(marked[static_cast<std::size_t>(i)]));
    }
}

}  // namespace

void MainWindow::nameForScreenReaders() {
    // The toolbar's buttons show only pictures: their tool-tips name them.
    for (QAction* button : Toolbar1->actions()) {
        if (!button->isSeparator()) {
            Toolbar1->widgetForAction(button)->setAccessibleName(button->toolTip());
        }
    }
    // The status line reads as one sentence, and the marks that show the
    // state are named after its state word.
    lblStatus->setAccessibleName(lblStatus->text() + QLatin1Char(' ') + lblStatusEnd->text());
    for (QLabel* mark : {imgBlocked, imgUnblocked, imgStatusBlocked, imgStatusUnblocked}) {
        mark->setAccessibleName(lblStatusEnd->text());
    }
    imgLogo->setAccessibleName(QStringLiteral("Facebook"));
}

void MainWindow::markAccessKeys() {
    // The menu titles share Alt+letter with the two buttons; the items of
    // each menu are a group of their own.
    QString buttonKeys;
    for (const QPushButton* button : {cmdBlockFB, cmdUnblockFB}) {
        buttonKeys += QChar(MarkedAccessKey(toU16(button->text())));
    }
    markGroup({mnuFile->menuAction(), mnuHelp->menuAction()}, buttonKeys);
    for (const QMenu* menu : {mnuFile, mnuHelp}) {
        QList<QAction*> items = menu->actions();
        items.removeIf([](const QAction* item) { return item->isSeparator(); });
        markGroup(items, {});
    }
}

void MainWindow::buildToolbar(QWidget* parent) {
    Toolbar1 = new QToolBar(parent);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    auto* style = new ToolbarStyle;
    style->setParent(Toolbar1);
    Toolbar1->setStyle(style);
    Toolbar1->setGeometry(fromTwips(main_layout::kToolbar));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->addSeparator();
    const struct {
        const char* key;
        const char* toolTip;
    } buttons[] = {{"language", "Change language"},
                   {"about", "About..."},
                   {"web", "Web..."},
                   {"facebook", "Follow me on Facebook..."}};
    for (const auto& button : buttons) {
        QAction* action = Toolbar1->addAction(QString());
        action->setObjectName(QString::fromLatin1(button.key));
        action->setData(QString::fromLatin1(button.key));
        action->setToolTip(QString::fromLatin1(button.toolTip));
    }
    // Raised until the flat look is switched on in the load step.
    hushgate::SetToolbarFlat(Toolbar1, false);

    PicWeb = new QWidget(Toolbar1);
    PicWeb->setObjectName(QStringLiteral("PicWeb"));
    PicWeb->setGeometry(fromTwips(main_layout::kLinkHolder));
    lblLink = controls::label(PicWeb, "lblLink", QString::fromUtf8(web::kHomePage),
                              twipsRect(main_layout::kLink));
    lblLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    controls::setLinkStyle(lblLink);
    controls::setBaseFont(lblLink, main_layout::kLinkFont);
    controls::fitToTextKeepingRightEdge(lblLink);
    // A long address grows to the left; widen its holder rather than cut it.
    if (lblLink->x() < 0) {
        const int more = -lblLink->x();
        PicWeb->setGeometry(PicWeb->x() - more, PicWeb->y(), PicWeb->width() + more,
                            PicWeb->height());
        lblLink->move(0, lblLink->y());
    }
}

void MainWindow::buildPictures() {
    PicBackground = new QFrame(centralWidget());
    PicBackground->setObjectName(QStringLiteral("PicBackground"));
    PicBackground->setGeometry(fromTwips(main_layout::kPanel));
    PicBackground->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PicBackground->setAutoFillBackground(true);
    QPalette white = PicBackground->palette();
    white.setColor(QPalette::Window, Qt::white);
    PicBackground->setPalette(white);
    imgLogo =
        picture(PicBackground, "imgLogo", resources::kLogo, resources::kLogo2x, main_layout::kLogo);
    imgUnblocked = picture(PicBackground, "imgUnblocked", resources::kUnblockedMark,
                           resources::kUnblockedMark2x, main_layout::kUnblockedMark);
    imgBlocked = picture(PicBackground, "imgBlocked", resources::kBlockedMark,
                         resources::kBlockedMark2x, main_layout::kBlockedMark);
}

void MainWindow::buildStatusArea(QWidget* parent) {
    imgStatusBlocked = picture(parent, "imgStatusBlocked", resources::kPadlockClosed,
                               resources::kPadlockClosed2x, main_layout::kPadlock);
    imgStatusUnblocked = picture(parent, "imgStatusUnblocked", resources::kPadlockOpen,
                                 resources::kPadlockOpen2x, main_layout::kPadlock);
    lblStatus = controls::label(parent, "lblStatus", QStringLiteral("Status: Facebook is"),
                                twipsRect(main_layout::kStatus));
    lblStatusEnd = controls::label(parent, "lblStatusEnd", QStringLiteral("blocked!"),
                                   twipsRect(main_layout::kStatusEnd));
    controls::setBaseFont(lblStatusEnd, main_layout::kStatusEndFont);
    lblStatus->adjustSize();
    lblStatusEnd->adjustSize();
}

}  // namespace hushgate
