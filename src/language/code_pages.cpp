#include "code_pages.h"

#include <charconv>

namespace hushgate {

namespace {

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

}  // namespace hushgate
