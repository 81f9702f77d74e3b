#include "win32_text.h"

#include <windows.h>

#include "code_pages.h"
#include "text.h"
#include "win_text.h"

namespace hushgate::win32 {

std::wstring Widen(std::string_view utf8) {
    return windows::Decode(utf8, CP_UTF8);
}

std::string Narrow(std::wstring_view wide) {
    return windows::ToUtf8(wide);
}

std::wstring ToWide(const Text& text) {
    std::wstring wide;
    for (const TextPiece& piece : text.pieces()) {
        const unsigned codePage =
            piece.characterSet == kProgramText
                ? CP_UTF8
                : static_cast<unsigned>(CodePageOf(piece.characterSet).number);
        wide += windows::Decode(piece.bytes, codePage);
    }
    return wide;
}

std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L'\\');
    path.resize(slash == std::wstring::npos ? 0 : slash);
    return path;
}

std::wstring ErrorText(unsigned long code) {
    return Widen(windows::SystemErrorText(code));
}

}  // namespace hushgate::win32
