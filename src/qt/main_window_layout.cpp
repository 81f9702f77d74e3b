// The main window's controls: menus, toolbar, picture panel and status line,
// placed as the layout gives them in twips.

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QToolBar>

#include "flat_controls.h"
#include "main_window.h"
#include "picture_label.h"
#include "resource_names.h"
#include "twips.h"
#include "web_constants.h"
#include "window_controls.h"

namespace hushgate {

namespace {

QLabel* picture(QWidget* parent, const char* name, const char* source, const char* source2x,
                QRect twipsRect) {
    auto* label = new PictureLabel(parent, source, source2x);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(fromTwips(twipsRect));
    return label;
}

// The toolbar is as high as the layout makes it (420 twips, 28 pixels) and its
// pictures are 24 pixels: the style's margins around the buttons would leave
// them 20 pixels high and cut the pictures. So the toolbar keeps no margins.
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

void frmMain::buildMenus() {
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

    // F10 opens the File menu, as on every desktop; the arrow keys then move
    // along the menus. The captions come from language files, so they carry
    // no access keys of ours.
    auto* openMenus = new QAction(this);
    openMenus->setObjectName(QStringLiteral("openMenus"));
    openMenus->setShortcut(QKeySequence(Qt::Key_F10));
    openMenus->setShortcutContext(Qt::WindowShortcut);
    addAction(openMenus);
    connect(openMenus, &QAction::triggered, this,
            [this] { menuBar()->setActiveAction(mnuFile->menuAction()); });
}

void frmMain::buildToolbar(QWidget* parent) {
    Toolbar1 = new QToolBar(parent);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    auto* style = new ToolbarStyle;
    style->setParent(Toolbar1);
    Toolbar1->setStyle(style);
    Toolbar1->setGeometry(fromTwips(QRect(0, 0, 8880, 420)));
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
    PicWeb->setGeometry(fromTwips(QRect(6360, 0, 2415, 375)));
    lblLink = controls::label(PicWeb, "lblLink", QString::fromUtf8(web::kHomePage),
                              {480, 120, 1845, 195});
    lblLink->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    controls::setLinkStyle(lblLink);
    controls::fitToTextKeepingRightEdge(lblLink);
    // A long address grows to the left; widen its holder rather than cut it.
    if (lblLink->x() < 0) {
        const int more = -lblLink->x();
        PicWeb->setGeometry(PicWeb->x() - more, PicWeb->y(), PicWeb->width() + more,
                            PicWeb->height());
        lblLink->move(0, lblLink->y());
    }
}

void frmMain::buildPictures() {
    PicBackground = new QFrame(centralWidget());
    PicBackground->setObjectName(QStringLiteral("PicBackground"));
    PicBackground->setGeometry(fromTwips(QRect(40, 460, 8775, 3135)));
    PicBackground->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PicBackground->setAutoFillBackground(true);
    QPalette white = PicBackground->palette();
    white.setColor(QPalette::Window, Qt::white);
    PicBackground->setPalette(white);
    imgLogo = picture(PicBackground, "imgLogo", resources::kLogo, resources::kLogo2x,
                      {960, 600, 6750, 1950});
    imgUnblocked = picture(PicBackground, "imgUnblocked", resources::kUnblockedMark,
                           resources::kUnblockedMark2x, {7320, 1800, 360, 360});
    imgBlocked = picture(PicBackground, "imgBlocked", resources::kBlockedMark,
                         resources::kBlockedMark2x, {7320, 1800, 330, 330});
}

void frmMain::buildStatusArea(QWidget* parent) {
    imgStatusBlocked = picture(parent, "imgStatusBlocked", resources::kPadlockClosed,
                               resources::kPadlockClosed2x, {120, 3900, 240, 240});
    imgStatusUnblocked = picture(parent, "imgStatusUnblocked", resources::kPadlockOpen,
                                 resources::kPadlockOpen2x, {120, 3900, 240, 240});
    lblStatus = controls::label(parent, "lblStatus", QStringLiteral("Status: Facebook is"),
                                {480, 3945, 1410, 195});
    lblStatusEnd =
        controls::label(parent, "lblStatusEnd", QStringLiteral("blocked!"), {2000, 3945, 750, 195});
    QFont bold = lblStatusEnd->font();
    bold.setBold(true);
    lblStatusEnd->setFont(bold);
    lblStatus->adjustSize();
    lblStatusEnd->adjustSize();
}

}  // namespace hushgate
