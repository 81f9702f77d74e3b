#include "code_pages.h"

#include <charconv>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace hushgate {

namespace {

#ifdef _WIN32
// The system's own code pages; only Windows converts them.
const CodePage kSystemAnsi{1, static_cast<int>(GetACP()), nullptr};
const CodePage kSystemOem{255, static_cast<int>(GetOEMCP()), nullptr};
#else
// Where no system code page exists, those of a Western Windows.
constexpr CodePage kSystemAnsi{1, 1252, "windows-1252"};
constexpr CodePage kSystemOem{255, 437, "IBM437"};
#endif

// Character set 2 (symbols) has no code page: it reads as Western.
const CodePage kCodePages[] = {
    {0, 1252, "windows-1252"},    // Western
    kSystemAnsi,                  // "default": the system's
    kSystemOem,                   // "OEM": the system's
    {77, 10000, "macintosh"},     // Mac Roman (DecodeOwnCodePage)
    {130, 1361, "johab"},         // Korean Johab (DecodeOwnCodePage)
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

const CodePage* FindCodePage(int characterSet) {
    for (const CodePage& page : kCodePages) {
        if (page.characterSet == characterSet) {
            return &page;
        }
    }
    return nullptr;
}

const CodePage& CodePageOf(int characterSet) {
    const CodePage* page = FindCodePage(characterSet);
    return page != nullptr ? *page : kCodePages[0];
}

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Bytes 0x80-0xFF of Mac Roman.
constexpr char16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

std::u16string decodeMacRoman(std::string_view bytes) {
    std::u16string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x80 ? char16_t(byte) : kMacRoman[byte - 0x80];
    }
    return text;
}

// Johab's Hangul: 1 iiiii vvvvv fffff, each part with a "fill" code for
// "none". The codes of the parts, in the order of Unicode's syllables.
constexpr int kInitialFill = 1, kVowelFill = 2, kFinalFill = 1;

int initialIndex(int code) {  // 0-18, or -1
    return code >= 2 && code <= 20 ? code - 2 : -1;
}

int vowelIndex(int code) {  // 0-20, or -1
    constexpr int kFirstCodes[] = {3, 10, 18, 26};
    constexpr int kCounts[] = {5, 6, 6, 4};
    int index = 0;
    for (int run = 0; run < 4; ++run) {
        if (code >= kFirstCodes[run] && code < kFirstCodes[run] + kCounts[run]) {
            return index + code - kFirstCodes[run];
        }
        index += kCounts[run];
    }
    return -1;
}

int finalIndex(int code) {  // 1-27, or -1 (0 is "none", the fill)
    if (code >= 2 && code <= 17) {
        return code - 1;
    }
    return code >= 19 && code <= 29 ? code - 2 : -1;
}

// The compatibility jamo (U+3131 on) of a lone consonant or vowel.
constexpr std::uint8_t kInitialJamo[19] = {0x31, 0x32, 0x34, 0x37, 0x38, 0x39, 0x41,
                                           0x42, 0x43, 0x45, 0x46, 0x47, 0x48, 0x49,
                                           0x4A, 0x4B, 0x4C, 0x4D, 0x4E};
constexpr std::uint8_t kFinalJamo[27] = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x39, 0x3A,
                                         0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x44,
                                         0x45, 0x46, 0x47, 0x48, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E};

char16_t johabHangul(unsigned code) {
    const int initialCode = (code >> 10) & 0x1F, vowelCode = (code >> 5) & 0x1F,
              finalCode = code & 0x1F;
    const int initial = initialIndex(initialCode), vowel = vowelIndex(vowelCode),
              final = finalIndex(finalCode);
    const bool noInitial = initialCode == kInitialFill, noVowel = vowelCode == kVowelFill,
               noFinal = finalCode == kFinalFill;
    if (initial >= 0 && vowel >= 0 && (noFinal || final > 0)) {
        return char16_t(0xAC00 + (initial * 21 + vowel) * 28 + (noFinal ? 0 : final));
    }
    if (noInitial && noVowel && noFinal) {
        return 0x3164;  // the Hangul filler
    }
    if (initial >= 0 && noVowel && noFinal) {
        return char16_t(0x3100 + kInitialJamo[initial]);
    }
    if (noInitial && vowel >= 0 && noFinal) {
        return char16_t(0x314F + vowel);
    }
    if (noInitial && noVowel && final > 0) {
        return char16_t(0x3100 + kFinalJamo[final - 1]);
    }
    return kReplacement;
}

bool isJohabTrail(unsigned trail, bool hangul) {
    return hangul ? (trail >= 0x41 && trail <= 0x7E) || (trail >= 0x81 && trail <= 0xFE)
                  : (trail >= 0x31 && trail <= 0x7E) || (trail >= 0x91 && trail <= 0xFE);
}

std::u16string decodeJohab(std::string_view bytes, const WansungDecoder& wansung) {
    std::u16string text;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            text += char16_t(lead);
            continue;
        }
        const bool hangul = lead >= 0x84 && lead <= 0xD3;
        // Symbols (0xD9-0xDE) and Hanja (0xE0-0xF9); 0xD8 is for the user's own.
        const bool other = (lead >= 0xD9 && lead <= 0xDE) || (lead >= 0xE0 && lead <= 0xF9);
        const unsigned trail =
            at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
        if (!(hangul || other) || !isJohabTrail(trail, hangul)) {
            text += kReplacement;  // a lone byte; the next one starts afresh
            continue;
        }
        ++at;
        if (hangul) {
            text += johabHangul(lead << 8 | trail);
            continue;
        }
        // Two rows of 94 of code page 949 per lead byte.
        const unsigned pair = lead < 0xE0 ? 2 * (lead - 0xD9) : 2 * lead - 0x197;
        const unsigned column = trail < 0x91 ? trail - 0x31 : trail - 0x43;
        const unsigned row = pair + (column < 94 ? 0 : 1);
        // The jamo of code page 949's fourth row are Hangul codes in Johab.
        if (!wansung || (row == 3 && column % 94 < 51)) {
            text += kReplacement;
            continue;
        }
        text += wansung(static_cast<unsigned char>(0xA1 + row),
                        static_cast<unsigned char>(0xA1 + column % 94));
    }
    return text;
}

}  // namespace

std::optional<std::u16string> DecodeOwnCodePage(std::string_view bytes, int codePage,
                                                const WansungDecoder& wansung) {
    switch (codePage) {
        case 10000:
            return decodeMacRoman(bytes);
        case 1361:
            return decodeJohab(bytes, wansung);
        default:
            return std::nullopt;
    }
}

}  // namespace hushgate
