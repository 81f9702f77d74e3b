#include "language_text.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <charconv>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace hushgate {

namespace {

struct CodePage {
    int characterSet;
    int number;        // the Windows code page
    const char* name;  // its name for QStringDecoder (ICU knows them all)
};

constexpr CodePage kCodePages[] = {
    {0, 1252, "windows-1252"},    // Western
    {238, 1250, "windows-1250"},  // Central European
    {204, 1251, "windows-1251"},  // Cyrillic
    {161, 1253, "windows-1253"},  // Greek
    {162, 1254, "windows-1254"},  // Turkish
    {177, 1255, "windows-1255"},  // Hebrew
    {178, 1256, "windows-1256"},  // Arabic
    {186, 1257, "windows-1257"},  // Baltic
    {163, 1258, "windows-1258"},  // Vietnamese
    {222, 874, "windows-874"},    // Thai
    {128, 932, "windows-932"},    // Japanese
    {134, 936, "windows-936"},    // Simplified Chinese
    {129, 949, "windows-949"},    // Korean
    {136, 950, "windows-950"},    // Traditional Chinese
};

const CodePage& codePageOf(int characterSet) {
    for (const CodePage& page : kCodePages) {
        if (page.characterSet == characterSet) {
            return page;
        }
    }
    return kCodePages[0];
}

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

std::optional<int> ParseCharacterSet(std::string_view value) {
    if (value.empty() || value.front() == '-') {
        return std::nullopt;
    }
    int number = -1;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (error != std::errc() || stop != end || number > 255) {
        return std::nullopt;
    }
    return number;
}

const char* CodePageName(int characterSet) {
    const CodePage& page = codePageOf(characterSet);
    return page.characterSet == characterSet ? page.name : nullptr;
}

QString DecodeLanguageText(const std::string& bytes, int characterSet) {
    const CodePage& page = codePageOf(characterSet);
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

}  // namespace hushgate
