#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "qt_language_file.h"

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace hushgate {


// The About dialog: the program's title and version, a line on free use, the
// copyright line and the link to our home page, in the language that was in
// force when the program started. Modeless; it deletes itself when closed
// (Close, Esc, the title bar), so every opening builds a fresh one.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Tavrin Hushgate";

    // `languageFile`: the language file in force at start-up (the main
    // window's LanguageFilePath). `homePage` is shown by lblLink, and a click
    // on it passes it to `openAddress`.
    frmAbout(QWidget* owner, QtLanguageFile languageFile, QString homePage,
             std::function<void(const QString&)> openAddress);
    ~frmAbout() override;

    // Title, lblVersion, lblThis, lblCopyright and cmdClose from the language
    // file, each with its charset step. Runs once, when the dialog is made.
    void LanguageAbout();

    void lblLink_Click();

    // Controls, named as everywhere else in the program.
    QWidget* Pic1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblVer_JP = nullptr;
    QLabel* lblThis = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblLink = nullptr;
    QFrame* Line3 = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void Form_Load();

    QtLanguageFile languageFile_;
    QString homePage_;
    std::function<void(const QString&)> openAddress_;
};

}  // namespace hushgate
