#include "frm_language.h"

#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <utility>

#include "link_click.h"
#include "window_controls.h"
#include "message_box.h"
#include "resource_names.h"

namespace hushgate {

namespace {

QCursor handCursor() {
    return QCursor(QPixmap(QString::fromLatin1(resources::kHandCursor)), resources::kHandCursorHotX,
                   resources::kHandCursorHotY);
}

}  // namespace

frmLanguage::frmLanguage(QWidget* owner, QString programFolder, const QtLanguageFile& languageFile,
                         LanguageInForce languageInForce,
                         std::function<void(const QString&)> openAddress)
    : QDialog(owner),
      programFolder_(std::move(programFolder)),
      languageInForce_(std::move(languageInForce)),
      openAddress_(std::move(openAddress)) {
    controls::setUpDialog(this, "frmLanguage", QSize(3255, 2655));
    setWindowTitle(QStringLiteral("Select Language"));

    lblSelect = controls::label(this, "lblSelect", QStringLiteral("Select:"), {240, 120, 495, 195});
    cboLanguage = new QComboBox(this);  // a drop-down list: pick only, no typing
    cboLanguage->setObjectName(QStringLiteral("cboLanguage"));
    cboLanguage->setGeometry(fromTwips(QRect(240, 360, 1815, 315)));

    lblTranslatedByName =
        controls::label(this, "lblTranslatedByName", QStringLiteral("[name]"), {240, 1080, 585, 195});
    QFont bold = lblTranslatedByName->font();
    bold.setBold(true);
    lblTranslatedByName->setFont(bold);

    lblTranslatedByEmail = controls::label(
        this, "lblTranslatedByEmail", QStringLiteral("[e-mail]"), {240, 1320, 495, 195});
    lblTranslatedByEmail->setToolTip(QStringLiteral("E-mail:"));
    lblTranslatedByEmail->setCursor(handCursor());
    OnLabelClick(lblTranslatedByEmail, [this] { lblTranslatedByEmail_Click(); });

    lblTranslatedByWeb = controls::label(this, "lblTranslatedByWeb",
                                                   QStringLiteral("[Web]"), {240, 1560, 435, 195});
    lblTranslatedByWeb->setToolTip(QStringLiteral("Web:"));
    lblTranslatedByWeb->setCursor(handCursor());
    controls::setUnderline(lblTranslatedByWeb);
    controls::setTextColour(lblTranslatedByWeb, QColor(0, 0, 255));
    OnLabelClick(lblTranslatedByWeb, [this] { lblTranslatedByWeb_Click(); });

    cmdOK = controls::button(this, "cmdOK", QStringLiteral("Apply"), {240, 2040, 1335, 375});
    cmdOK->setDefault(true);
    cmdCancel =
        controls::button(this, "cmdCancel", QStringLiteral("Cancel"), {1680, 2040, 1335, 375});
    connect(cmdOK, &QPushButton::clicked, this, &frmLanguage::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmLanguage::cmdCancel_Click);
    setTabOrder(cboLanguage, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    cboLanguage->setFocus();

    // The texts of the language in force first; the preview of its entry then
    // gives the same texts, with their charset steps. Where it has no entry,
    // these texts stay.
    LanguageSysTrayAndLanguage(languageFile);
    connect(cboLanguage, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            cboLanguage_Click();
        }
    });
    FillLanguageList();
}

frmLanguage::~frmLanguage() = default;

QStringList frmLanguage::LanguageNames(const QString& programFolder) {
    QDir folder(QDir(programFolder).filePath(QStringLiteral("Language")));
    QDir::Filters filters = QDir::Files;
#ifndef _WIN32
    // Only names ending in ".lng" exactly can be found again by name.
    filters |= QDir::CaseSensitive;
#endif
    QStringList names =
        folder.entryList({QStringLiteral("*.lng")}, filters, QDir::Name | QDir::IgnoreCase);
    for (QString& name : names) {
        name.chop(4);
    }
    return names;
}

void frmLanguage::LanguageSysTrayAndLanguage(const QtLanguageFile& file) {
    setWindowTitle(file.text("Tray", "3"));
    lblSelect->setText(file.text("Tray", "4"));
    cmdOK->setText(file.text("Tray", "5"));
    cmdCancel->setText(file.text("Tray", "6"));
    lblTranslatedByName->setText(file.text("LANGUAGE", "translator"));
    lblTranslatedByEmail->setText(file.text("LANGUAGE", "e-mail"));
    lblTranslatedByWeb->setText(file.text("LANGUAGE", "web"));
    fitLabels();
}

void frmLanguage::FillLanguageList() {
    {
        // Adding the first entry would select it; only the final selection counts.
        const QSignalBlocker quiet(cboLanguage);
        cboLanguage->clear();
        cboLanguage->addItems(LanguageNames(programFolder_));
        cboLanguage->setCurrentIndex(-1);
    }
    selected_ = QtLanguageFile();
    cmdOK->setEnabled(false);
    const QString inForce = languageInForce_.get ? languageInForce_.get() : QString();
#ifdef _WIN32
    const Qt::MatchFlags sameName = Qt::MatchFixedString;  // file names ignore case here
#else
    const Qt::MatchFlags sameName = Qt::MatchExactly | Qt::MatchCaseSensitive;
#endif
    cboLanguage->setCurrentIndex(cboLanguage->findText(inForce, sameName));
}

void frmLanguage::cboLanguage_Click() {
    selected_ = QtLanguageFile::inProgramFolder(programFolder_, cboLanguage->currentText());
    cmdOK->setEnabled(true);

    setWindowTitle(selected_.text("Tray", "3"));
    CharsetStep(this, selected_);
    lblSelect->setText(selected_.text("Tray", "4"));
    CharsetStep(lblSelect, selected_);
    cmdOK->setText(selected_.text("Tray", "5"));
    CharsetStep(cmdOK, selected_);
    cmdCancel->setText(selected_.text("Tray", "6"));
    CharsetStep(cmdCancel, selected_);
    lblTranslatedByName->setText(selected_.text("LANGUAGE", "translator"));
    CharsetStep(lblTranslatedByName, selected_);
    lblTranslatedByEmail->setText(selected_.text("LANGUAGE", "e-mail"));
    lblTranslatedByWeb->setText(selected_.text("LANGUAGE", "web"));
    fitLabels();
}

void frmLanguage::cmdOK_Click() {
    if (cboLanguage->currentIndex() < 0) {
        return;  // nothing chosen yet
    }
    const QPointer<frmLanguage> alive(this);
    MessageBox::show(this, QMessageBox::Warning, selected_.text("Tray", "8"),
                     selected_.text("Tray", "7"), QMessageBox::Ok);
    if (alive.isNull()) {
        return;  // the program closed its windows while the message was up
    }
    if (languageInForce_.set) {
        languageInForce_.set(cboLanguage->currentText());
    }
    accept();
}

void frmLanguage::cmdCancel_Click() {
    reject();
}

void frmLanguage::lblTranslatedByEmail_Click() {
    const QString address = lblTranslatedByEmail->text();
    if (!address.isEmpty() && openAddress_) {
        openAddress_(QStringLiteral("mailto:") + address);
    }
}

void frmLanguage::lblTranslatedByWeb_Click() {
    const QString address = lblTranslatedByWeb->text();
    if (!address.isEmpty() && openAddress_) {
        openAddress_(address);
    }
}

void frmLanguage::fitLabels() {
    for (QLabel* label :
         {lblSelect, lblTranslatedByName, static_cast<QLabel*>(lblTranslatedByEmail),
          static_cast<QLabel*>(lblTranslatedByWeb)}) {
        controls::fitToText(label);
    }
}

}  // namespace hushgate
