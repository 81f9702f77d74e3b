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

namespace about_layout = layout::about_dialog;

AboutDialog::AboutDialog(QWidget* owner, const LanguageFile& languageFile,
                         std::function<void(const QString&)> openAddress)
    : QDialog(owner), presenter_(*this, languageFile), openAddress_(std::move(openAddress)) {
    controls::setUpDialog(this, "frmAbout", about_layout::kClient, about_layout::kFont);
    setWindowTitle(QStringLiteral("About"));

    // The white panel, wider than the dialog so that it fills it edge to edge.
    // Its labels take the text colour that belongs to that background.
    Pic1 = new QWidget(this);
    Pic1->setObjectName(QStringLiteral("Pic1"));
    Pic1->setGeometry(fromTwips(about_layout::kPanel));
    QPalette panel = Pic1->palette();
    panel.setColor(QPalette::Window, panel.color(QPalette::Base));
    panel.setColor(QPalette::WindowText, panel.color(QPalette::Text));
    Pic1->setPalette(panel);
    Pic1->setAutoFillBackground(true);

    lblTitle = controls::label(Pic1, "lblTitle", QString(), twipsRect(about_layout::kTitle));
    controls::setBaseFont(lblTitle, about_layout::kTitleFont);

    lblVersion = controls::label(Pic1, "lblVersion", QStringLiteral("Version:"),
                                 twipsRect(about_layout::kVersion));
    lblVer_JP =
        controls::label(Pic1, "lblVer_JP", QString(), twipsRect(about_layout::kVersionNumber));
    lblThis = controls::label(
        Pic1, "lblThis", QStringLiteral("This product is FREE for personal or commercial use."),
        twipsRect(about_layout::kThis));
    lblThis->setWordWrap(true);

    lblLink = controls::label(Pic1, "lblLink", QString(), twipsRect(about_layout::kLink));
    lblLink->setAlignment(Qt::AlignRight | Qt::AlignTop);
    controls::setLinkStyle(lblLink);
    controls::setBaseFont(lblLink, about_layout::kLinkFont);
    OnLabelClick(lblLink, [this] { presenter_.linkClicked(); });

    // The copyright line: one line above the link, sharing its right edge.
    lblCopyright =
        controls::label(Pic1, "lblCopyright", QString(), twipsRect(about_layout::kCopyright));
    lblCopyright->setAlignment(Qt::AlignRight | Qt::AlignTop);

    // The panel's lower edge: a grey line, one pixel high.
    Line3 = new QFrame(Pic1);
    Line3->setObjectName(QStringLiteral("Line3"));
    const QRect line = fromTwips(about_layout::kPanelLine);
    Line3->setGeometry(line.x(), line.y(), line.width(), 1);
    Line3->setAutoFillBackground(true);
    QPalette grey = Line3->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    Line3->setPalette(grey);

    cmdClose = controls::button(this, "cmdClose", QStringLiteral("&Close"),
                                twipsRect(about_layout::kClose));
    cmdClose->setDefault(true);
    cmdClose->setFocus();
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    presenter_.load();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::applyTexts(const TextSteps& steps) {
    ApplyDialogTexts(this, Control::frmAbout, steps);
    controls::fitToText(lblVersion);
    controls::fitToTextKeepingRightEdge(lblCopyright);
    controls::fitToTextKeepingRightEdge(lblLink);
}

void AboutDialog::PlaceVersionNumber() {
    // The number follows the translated "Version:" at the layout's gap.
    lblVer_JP->move(lblVersion->x() + lblVersion->width() + fromTwips(about_layout::kVersionGap),
                    lblVer_JP->y());
}

void AboutDialog::openAddress(const Text& address) {
    if (openAddress_) {
        openAddress_(ToQString(address));
    }
}

}  // namespace hushgate
