#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace hushgate {

// Language files are 8-bit text in the Windows code page that belongs to
// their "CharacterSet" (the font character-set numbers of the Windows font
// interface).

// The character set a file that gives none (or one we do not know) is read in.
inline constexpr int kWesternCharacterSet = 0;

struct CodePage {
    int characterSet;
    int number;  // the Windows code page, for MultiByteToWideChar
    // Its name for other decoders ("windows-1251"); nullptr for the system's
    // own code pages on Windows, which only Windows converts.
    const char* name;
};

// The value of "CharacterSet" as a number, or nothing when it is empty, not a
// plain decimal number or outside 0-255.
std::optional<int> ParseCharacterSet(std::string_view value);

// The code page of a character set, or nullptr for a number that names no
// code page we know.
const CodePage* FindCodePage(int characterSet);

// The code page a text in `characterSet` is decoded with: its own, or
// Western (Windows-1252) for one we do not know.
const CodePage& CodePageOf(int characterSet);

// Decoders of our own for the code pages converters often lack: Mac Roman
// (10000) and Johab (1361). Johab's Hangul are worked out from their bits;
// its symbols and Hanja are those of code page 949 in another arrangement,
// and `wansung` decodes one of those from its two code page 949 bytes
// (U+FFFD when it cannot). Bytes the code page leaves undefined become
// U+FFFD. Nothing for any other code page.
using WansungDecoder = std::function<char16_t(unsigned char lead, unsigned char trail)>;
std::optional<std::u16string> DecodeOwnCodePage(std::string_view bytes, int codePage,
                                                const WansungDecoder& wansung = {});

// The name of the code page of a character set, or nullptr.
inline const char* CodePageName(int characterSet) {
    const CodePage* page = FindCodePage(characterSet);
    return page != nullptr ? page->name : nullptr;
}

}  // namespace hushgate
