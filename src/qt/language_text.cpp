#include "language_text.h"

#include <QByteArrayView>
#include <QFile>
#include <QStringDecoder>
#include <QVariant>

#ifdef _WIN32
#include "win_text.h"
#endif

namespace hushgate {

namespace {

// `bytes` in the code page `number` named `name`, by Qt's converters (ICU) or,
// on Windows, by the system's.
QString decodeWithConverter(std::string_view bytes, const char* name, int number) {
    if (name != nullptr) {
        QStringDecoder decoder(name);
        if (decoder.isValid()) {
            return decoder.decode(
                QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        }
    }
#ifdef _WIN32
    // A Qt built without ICU knows only the Unicode encodings by name; Windows
    // itself converts every one of our code pages.
    return QString::fromStdWString(windows::Decode(bytes, static_cast<unsigned>(number)));
#else
    (void)number;
    // Only a Qt without ICU gets here; Latin-1 at least keeps ASCII intact.
    return QString::fromLatin1(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
#endif
}

}  // namespace

QString DecodeLanguageText(const std::string& bytes, int characterSet) {
    const CodePage& page = CodePageOf(characterSet);
    const auto wansung = [](unsigned char lead, unsigned char trail) -> char16_t {
        const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
        const QString one = decodeWithConverter(std::string_view(pair, 2), "windows-949", 949);
        return one.size() == 1 ? one.at(0).unicode() : char16_t(0xFFFD);
    };
    if (const auto own = DecodeOwnCodePage(bytes, page.number, wansung)) {
        return QString::fromStdU16String(*own);
    }
    return decodeWithConverter(bytes, page.name, page.number);
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
