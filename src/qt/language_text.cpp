#include "language_text.h"

#include <QByteArrayView>
#include <QFile>
#include <QStringDecoder>
#include <QVariant>

#ifdef _WIN32
#include "win_text.h"
#endif

namespace hushgate {

QString DecodeLanguageText(const std::string& bytes, int characterSet) {
    const CodePage& page = CodePageOf(characterSet);
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder(page.name);
    if (decoder.isValid()) {
        return decoder.decode(view);
    }
#ifdef _WIN32
    // A Qt built without ICU knows only the Unicode encodings by name; Windows
    // itself converts every one of our code pages.
    return QString::fromStdWString(
        windows::Decode(std::string_view(bytes), static_cast<unsigned>(page.number)));
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

}  // namespace hushgate
