#include "qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMetaEnum>
#include <QTranslator>

#include "language_file.h"
#include "language_text.h"
#include "messages.h"

namespace hushgate {

namespace {

// The standard buttons our message boxes use, as Qt asks for their texts.
class ButtonTexts : public QTranslator {
public:
    explicit ButtonTexts(const LanguageFile& file)
        : ok_(ToQString(file.text(messages::kSection, messages::kButtonOK))),
          yes_(ToQString(file.text(messages::kSection, messages::kButtonYes))),
          no_(ToQString(file.text(messages::kSection, messages::kButtonNo))) {}

    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QPlatformTheme") != 0) {
            return {};
        }
        const QString* text = qstrcmp(sourceText, "OK") == 0     ? &ok_
                              : qstrcmp(sourceText, "&Yes") == 0 ? &yes_
                              : qstrcmp(sourceText, "&No") == 0  ? &no_
                                                                 : nullptr;
        // A null text lets Qt ask the next translation, or keep its English.
        return text == nullptr || text->isEmpty() ? QString() : *text;
    }
    bool isEmpty() const override { return ok_.isEmpty() && yes_.isEmpty() && no_.isEmpty(); }

private:
    QString ok_;
    QString yes_;
    QString no_;
};

}  // namespace

QLocale LocaleOfLanguage(const QString& languageName) {
    bool known = false;
    const int language = QMetaEnum::fromType<QLocale::Language>().keyToValue(
        languageName.toLatin1().constData(), &known);
    return known && language != QLocale::AnyLanguage
               ? QLocale(static_cast<QLocale::Language>(language))
               : QLocale::c();
}

QtTranslation::QtTranslation(const QString& languageName, const LanguageFile& file)
    : buttons_(std::make_unique<ButtonTexts>(file)), qt_(std::make_unique<QTranslator>()) {
    // The translation installed last is asked first: Qt's own, then ours.
    QCoreApplication::installTranslator(buttons_.get());
    const QLocale locale = LocaleOfLanguage(languageName);
    qtLoaded_ =
        locale != QLocale::c() && qt_->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded_) {
        QCoreApplication::installTranslator(qt_.get());
    }
}

QtTranslation::~QtTranslation() = default;

}  // namespace hushgate
