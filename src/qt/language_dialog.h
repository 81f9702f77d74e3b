#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "language_file.h"
#include "language_presenter.h"

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace hushgate {

// The language dialog, a view of LanguagePresenter: lists the language files
// of the program's Language folder, previews the chosen language on its own
// controls, names the translator and records the choice on "Apply". The
// choice takes effect at the next start. Modeless; it deletes itself when
// closed (Apply, Cancel, Esc, the title bar), so every opening builds a
// fresh one.
class LanguageDialog : public QDialog, public LanguageView {
    Q_OBJECT

public:
    // `programFolder` holds Language/ (in the encoding of file names).
    // `languageFile`: the language file in force at start-up. The
    // translator's links are handed to `openAddress` ("mailto:" + address
    // for the e-mail).
    LanguageDialog(QWidget* owner, std::string programFolder, const LanguageFile& languageFile,
                   LanguagePresenter::LanguageInForce languageInForce,
                   std::function<void(const QString&)> openAddress);
    ~LanguageDialog() override;

    LanguagePresenter& presenter() { return presenter_; }

    // LanguageView
    void applyTexts(const TextSteps& steps) override;
    void setLanguageList(const std::vector<std::string>& names) override;
    void selectLanguage(int index) override;
    void setApplyEnabled(bool enabled) override;
    MessageAnswer showMessage(const Message& message) override;
    void openAddress(const Text& address) override;
    void closeDialog() override { close(); }

    // Controls, named as everywhere else in the program.
    QLabel* lblSelect = nullptr;
    QComboBox* cboLanguage = nullptr;
    QLabel* lblTranslatedByName = nullptr;
    QLabel* lblTranslatedByEmail = nullptr;
    QLabel* lblTranslatedByWeb = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    LanguagePresenter presenter_;
    std::function<void(const QString&)> openAddress_;
};

}  // namespace hushgate
