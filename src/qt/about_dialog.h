#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "about_presenter.h"
#include "language_file.h"

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace hushgate {

// The About dialog, a view of AboutPresenter: the program's title and
// version, a line on free use, the copyright line and the link to our home
// page, in the language that was in force when the program started.
// Modeless; it deletes itself when closed (Close, Esc, the title bar), so
// every opening builds a fresh one.
class AboutDialog : public QDialog, public AboutView {
    Q_OBJECT

public:
    // `languageFile`: the language file in force at start-up. A click on the
    // link passes the home page to `openAddress`.
    AboutDialog(QWidget* owner, const LanguageFile& languageFile,
                std::function<void(const QString&)> openAddress);
    ~AboutDialog() override;

    AboutPresenter& presenter() { return presenter_; }

    // AboutView
    void applyTexts(const TextSteps& steps) override;
    void PlaceVersionNumber() override;
    void openAddress(const Text& address) override;

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
    AboutPresenter presenter_;
    std::function<void(const QString&)> openAddress_;
};

}  // namespace hushgate
