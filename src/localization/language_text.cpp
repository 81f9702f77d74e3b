#include "language_text.h"

#include <QByteArrayView>
#include <QFile>
#include <QObject>
#include <QStringDecoder>
#include <QVariant>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace hushgate {

namespace {

#ifdef _WIN32
// A Qt built without ICU knows only the Unicode encodings by name; Windows
// itself converts every one of our code pages.
QString decodeWithWindows(QByteArrayView bytes, int codePage) {
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return QString::fromLatin1(bytes);
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size);
    return QString::fromStdWString(wide);
}
#endif

}  // namespace

QString DecodeLanguageText(const std::string& bytes, int characterSet) {
    const CodePage& page = CodePageOf(characterSet);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder(page.name);
    if (decoder.isValid()) {
        return decoder.decode(view);
    }
#ifdef _WIN32
    return decodeWithWindows(view, page.number);
#else
    // Only a Qt without ICU gets here; Latin-1 at least keeps ASCII intact.
    return QString::fromLatin1(view);
#endif
}

QString ToQString(const Text& text) {
    QString decoded;
    for (const TextPiece& piece : text.pieces()) {
        if (piece.characterSet != kProgramText) {
            decoded += DecodeLanguageText(piece.bytes, piece.characterSet);
        } else {
#ifdef _WIN32
            decoded += QString::fromStdString(piece.bytes);
#else
            decoded += QFile::decodeName(QByteArray::fromStdString(piece.bytes));
#endif
        }
    }
    return decoded;
}

void CharsetStep(QObject* control, int characterSet) {
    if (control != nullptr) {
        control->setProperty(kCharacterSetProperty, characterSet);
    }
}

}  // namespace hushgate
