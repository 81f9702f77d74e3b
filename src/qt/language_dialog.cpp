#include "language_dialog.h"

#include <QComboBox>
#include <QCursor>
#include <QPixmap>
#include <QPushButton>
#include <utility>

#include "language_text.h"
#include "link_click.h"
#include "message_view.h"
#include "resource_names.h"
#include "window_controls.h"

namespace hushgate {

namespace {

QCursor handCursor() {
    return QCursor(QPixmap(QString::fromLatin1(resources::kHandCursor)), resources::kHandCursorHotX,
                   resources::kHandCursorHotY);
}

}  // namespace

frmLanguage::frmLanguage(QWidget* owner, std::string programFolder,
                         const LanguageFile& languageFile,
                         LanguagePresenter::LanguageInForce languageInForce,
                         std::function<void(const QString&)> openAddress)
    : QDialog(owner),
      presenter_(*this, std::move(programFolder), languageFile, std::move(languageInForce)),
      openAddress_(std::move(openAddress)) {
    controls::setUpDialog(this, "frmLanguage", QSize(3255, 2655));
    setWindowTitle(QStringLiteral("Select Language"));

    lblSelect = controls::label(this, "lblSelect", QStringLiteral("Select:"), {240, 120, 495, 195});
    cboLanguage = new QComboBox(this);  // a drop-down list: pick only, no typing
    cboLanguage->setObjectName(QStringLiteral("cboLanguage"));
    cboLanguage->setGeometry(fromTwips(QRect(240, 360, 1815, 315)));

    lblTranslatedByName = controls::label(this, "lblTranslatedByName", QStringLiteral("[name]"),
                                          {240, 1080, 585, 195});
    QFont bold = lblTranslatedByName->font();
    bold.setBold(true);
    lblTranslatedByName->setFont(bold);

    lblTranslatedByEmail = controls::label(this, "lblTranslatedByEmail", QStringLiteral("[e-mail]"),
                                           {240, 1320, 495, 195});
    lblTranslatedByEmail->setToolTip(QStringLiteral("E-mail:"));
    lblTranslatedByEmail->setCursor(handCursor());
    OnLabelClick(lblTranslatedByEmail, [this] { presenter_.lblTranslatedByEmail_Click(); });

    lblTranslatedByWeb =
        controls::label(this, "lblTranslatedByWeb", QStringLiteral("[Web]"), {240, 1560, 435, 195});
    lblTranslatedByWeb->setToolTip(QStringLiteral("Web:"));
    lblTranslatedByWeb->setCursor(handCursor());
    controls::setUnderline(lblTranslatedByWeb);
    controls::setTextColour(lblTranslatedByWeb, QColor(0, 0, 255));
    OnLabelClick(lblTranslatedByWeb, [this] { presenter_.lblTranslatedByWeb_Click(); });

    cmdOK = controls::button(this, "cmdOK", QStringLiteral("Apply"), {240, 2040, 1335, 375});
    cmdOK->setDefault(true);
    cmdCancel =
        controls::button(this, "cmdCancel", QStringLiteral("Cancel"), {1680, 2040, 1335, 375});
    connect(cmdOK, &QPushButton::clicked, this, [this] { presenter_.cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { presenter_.cmdCancel_Click(); });
    setTabOrder(cboLanguage, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    cboLanguage->setFocus();

    connect(cboLanguage, &QComboBox::currentIndexChanged, this,
            [this](int index) { presenter_.cboLanguage_Click(index); });
    presenter_.Form_Load();
}

frmLanguage::~frmLanguage() = default;

void frmLanguage::applyTexts(const TextSteps& steps) {
    ApplyDialogTexts(this, Control::frmLanguage, steps);
    for (QLabel* label :
         {lblSelect, lblTranslatedByName, lblTranslatedByEmail, lblTranslatedByWeb}) {
        controls::fitToText(label);
    }
}

void frmLanguage::setLanguageList(const std::vector<std::string>& names) {
    // Adding the first entry would select it; the presenter selects.
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->clear();
    for (const std::string& name : names) {
        cboLanguage->addItem(ToQString(Text(name)));
    }
    cboLanguage->setCurrentIndex(-1);
}

void frmLanguage::selectLanguage(int index) {
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->setCurrentIndex(index);
}

void frmLanguage::setApplyEnabled(bool enabled) {
    cmdOK->setEnabled(enabled);
}

MessageAnswer frmLanguage::showMessage(const Message& message) {
    return ShowMessage(this, message);
}

void frmLanguage::openAddress(const Text& address) {
    if (openAddress_) {
        openAddress_(ToQString(address));
    }
}

}  // namespace hushgate
