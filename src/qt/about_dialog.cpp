#include "about_dialog.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <utility>

#include "language_text.h"
#include "link_click.h"
#include "message_view.h"
#include "resource_names.h"
#include "window_controls.h"

namespace hushgate {

frmAbout::frmAbout(QWidget* owner, const LanguageFile& languageFile,
                   std::function<void(const QString&)> openAddress)
    : QDialog(owner), presenter_(*this, languageFile), openAddress_(std::move(openAddress)) {
    controls::setUpDialog(this, "frmAbout", QSize(4920, 2850));
    setWindowTitle(QStringLiteral("About"));

    // The white panel, wider than the dialog so that it fills it edge to edge.
    // Its labels take the text colour that belongs to that background.
    Pic1 = new QWidget(this);
    Pic1->setObjectName(QStringLiteral("Pic1"));
    Pic1->setGeometry(fromTwips(QRect(0, 0, 6135, 2055)));
    QPalette panel = Pic1->palette();
    panel.setColor(QPalette::Window, panel.color(QPalette::Base));
    panel.setColor(QPalette::WindowText, panel.color(QPalette::Text));
    Pic1->setPalette(panel);
    Pic1->setAutoFillBackground(true);

    lblTitle = controls::label(Pic1, "lblTitle", QString(), {240, 240, 3975, 375});
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSizeF(9.75);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion =
        controls::label(Pic1, "lblVersion", QStringLiteral("Version:"), {240, 480, 570, 195});
    lblVer_JP = controls::label(Pic1, "lblVer_JP", QString(), {840, 480, 855, 255});
    lblThis = controls::label(
        Pic1, "lblThis", QStringLiteral("This product is FREE for personal or commercial use."),
        {255, 840, 4440, 435});
    lblThis->setWordWrap(true);

    lblLink = controls::label(Pic1, "lblLink", QString(), {2880, 1680, 1845, 195});
    lblLink->setAlignment(Qt::AlignRight | Qt::AlignTop);
    controls::setLinkStyle(lblLink);
    OnLabelClick(lblLink, [this] { presenter_.lblLink_Click(); });

    // The copyright line: one line above the link, sharing its right edge.
    lblCopyright = controls::label(Pic1, "lblCopyright", QString(), {2880, 1440, 1845, 195});
    lblCopyright->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // The panel's lower edge: a grey line from (0, 2040) to (6960, 2040).
    Line3 = new QFrame(Pic1);
    Line3->setObjectName(QStringLiteral("Line3"));
    Line3->setGeometry(0, fromTwips(2040), fromTwips(6960), 1);
    Line3->setAutoFillBackground(true);
    QPalette grey = Line3->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    Line3->setPalette(grey);

    cmdClose =
        controls::button(this, "cmdClose", QStringLiteral("&Close"), {3120, 2160, 1575, 495});
    cmdClose->setDefault(true);
    cmdClose->setFocus();
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    presenter_.Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::applyTexts(const TextSteps& steps) {
    ApplyDialogTexts(this, Control::frmAbout, steps);
    controls::fitToText(lblVersion);
    controls::fitToTextKeepingRightEdge(lblCopyright);
    controls::fitToTextKeepingRightEdge(lblLink);
}

void frmAbout::PlaceVersionNumber() {
    // The number follows the translated "Version:" at a gap of 40 twips.
    lblVer_JP->move(lblVersion->x() + lblVersion->width() + fromTwips(40), lblVer_JP->y());
}

void frmAbout::openAddress(const Text& address) {
    if (openAddress_) {
        openAddress_(ToQString(address));
    }
}

}  // namespace hushgate
