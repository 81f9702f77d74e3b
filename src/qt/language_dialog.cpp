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

namespace language_layout = layout::language_dialog;

namespace {

QCursor handCursor() {
    return QCursor(QPixmap(QString::fromLatin1(resources::kHandCursor)), resources::kHandCursorHotX,
                   resources::kHandCursorHotY);
}

}  // namespace

LanguageDialog::LanguageDialog(QWidget* owner, std::string programFolder,
                               const LanguageFile& languageFile,
                               LanguagePresenter::LanguageInForce languageInForce,
                               std::function<void(const QString&)> openAddress)
    : QDialog(owner),
      presenter_(*this, std::move(programFolder), languageFile, std::move(languageInForce)),
      openAddress_(std::move(openAddress)) {
    controls::setUpDialog(this, "frmLanguage", language_layout::kClient, language_layout::kFont);
    setWindowTitle(QStringLiteral("Select Language"));

    lblSelect = controls::label(this, "lblSelect", QStringLiteral("Select:"),
                                twipsRect(language_layout::kSelect));
    cboLanguage = new QComboBox(this);  // a drop-down list: pick only, no typing
    cboLanguage->setObjectName(QStringLiteral("cboLanguage"));
    cboLanguage->setGeometry(fromTwips(language_layout::kList));

    lblTranslatedByName = controls::label(this, "lblTranslatedByName", QStringLiteral("[name]"),
                                          twipsRect(language_layout::kTranslatorName));
    controls::setBaseFont(lblTranslatedByName, language_layout::kTranslatorNameFont);

    lblTranslatedByEmail = controls::label(this, "lblTranslatedByEmail", QStringLiteral("[e-mail]"),
                                           twipsRect(language_layout::kTranslatorEmail));
    lblTranslatedByEmail->setToolTip(QStringLiteral("E-mail:"));
    lblTranslatedByEmail->setCursor(handCursor());
    OnLabelClick(lblTranslatedByEmail, [this] { presenter_.translatorEmailClicked(); });

    lblTranslatedByWeb = controls::label(this, "lblTranslatedByWeb", QStringLiteral("[Web]"),
                                         twipsRect(language_layout::kTranslatorWeb));
    lblTranslatedByWeb->setToolTip(QStringLiteral("Web:"));
    lblTranslatedByWeb->setCursor(handCursor());
    controls::setBaseFont(lblTranslatedByWeb, language_layout::kTranslatorWebFont);
    controls::setTextColour(lblTranslatedByWeb, QColor(0, 0, 255));
    OnLabelClick(lblTranslatedByWeb, [this] { presenter_.translatorWebClicked(); });

    cmdOK = controls::button(this, "cmdOK", QStringLiteral("Apply"),
                             twipsRect(language_layout::kApply));
    cmdOK->setDefault(true);
    cmdCancel = controls::button(this, "cmdCancel", QStringLiteral("Cancel"),
                                 twipsRect(language_layout::kCancel));
    connect(cmdOK, &QPushButton::clicked, this, [this] { presenter_.applyClicked(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { presenter_.cancelClicked(); });
    setTabOrder(cboLanguage, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    cboLanguage->setFocus();

    connect(cboLanguage, &QComboBox::currentIndexChanged, this,
            [this](int index) { presenter_.languageSelected(index); });
    presenter_.load();
}

LanguageDialog::~LanguageDialog() = default;

void LanguageDialog::applyTexts(const TextSteps& steps) {
    ApplyDialogTexts(this, Control::frmLanguage, steps);
    for (QLabel* label :
         {lblSelect, lblTranslatedByName, lblTranslatedByEmail, lblTranslatedByWeb}) {
        controls::fitToText(label);
    }
}

void LanguageDialog::setLanguageList(const std::vector<std::string>& names) {
    // Adding the first entry would select it; the presenter selects.
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->clear();
    for (const std::string& name : names) {
        cboLanguage->addItem(ToQString(Text(name)));
    }
    cboLanguage->setCurrentIndex(-1);
}

void LanguageDialog::selectLanguage(int index) {
    const QSignalBlocker quiet(cboLanguage);
    cboLanguage->setCurrentIndex(index);
}

void LanguageDialog::setApplyEnabled(bool enabled) {
    cmdOK->setEnabled(enabled);
}

MessageAnswer LanguageDialog::showMessage(const Message& message) {
    return ShowMessage(this, message);
}

void LanguageDialog::openAddress(const Text& address) {
    if (openAddress_) {
        openAddress_(ToQString(address));
    }
}

}  // namespace hushgate
