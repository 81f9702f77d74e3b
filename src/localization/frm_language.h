#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

#include "qt_language_file.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace hushgate {


// The language dialog: lists the language files of the program's Language
// folder, previews the chosen language on its own controls, names the
// translator and records the choice on "Apply". The choice takes effect at the
// next start. Modeless; it deletes itself when closed (Apply, Cancel, Esc, the
// title bar), so every opening builds a fresh one.
class frmLanguage : public QDialog {
    Q_OBJECT

public:
    // The language in force: the main window's lblSettingsLanguage.
    struct LanguageInForce {
        std::function<QString()> get;
        std::function<void(const QString&)> set;  // called by "Apply"
    };

    // `languageFile`: the language file in force at start-up (the main
    // window's LanguageFilePath). The translator's links are handed to
    // `openAddress` ("mailto:" + address for the e-mail).
    frmLanguage(QWidget* owner, QString programFolder, const QtLanguageFile& languageFile,
                LanguageInForce languageInForce, std::function<void(const QString&)> openAddress);
    ~frmLanguage() override;

    // The names of the *.lng files of `programFolder`/Language, sorted, each
    // without its last 4 characters.
    static QStringList LanguageNames(const QString& programFolder);

    // Title, lblSelect, both buttons and the translator labels from `file`,
    // without charset steps.
    void LanguageSysTrayAndLanguage(const QtLanguageFile& file);

    // Fills cboLanguage and selects the language in force, which previews it;
    // when it has no file there, nothing is selected and "Apply" stays off.
    void FillLanguageList();

    // The file of the entry selected in cboLanguage ("" when none is).
    const QString& SelectedLanguageFilePath() const { return selected_.path(); }

    void cboLanguage_Click();  // the preview
    void cmdOK_Click();        // "Apply"
    void cmdCancel_Click();
    void lblTranslatedByEmail_Click();
    void lblTranslatedByWeb_Click();

    // Controls, named as everywhere else in the program.
    QLabel* lblSelect = nullptr;
    QComboBox* cboLanguage = nullptr;
    QLabel* lblTranslatedByName = nullptr;
    QLabel* lblTranslatedByEmail = nullptr;
    QLabel* lblTranslatedByWeb = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void fitLabels();

    QString programFolder_;
    LanguageInForce languageInForce_;
    std::function<void(const QString&)> openAddress_;
    QtLanguageFile selected_;
};

}  // namespace hushgate
