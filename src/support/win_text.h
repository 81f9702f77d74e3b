#pragma once

// UTF-8 (the program's own texts and file names) to UTF-16 (the Windows
// interfaces) and back, and the system's text for an error code. Windows only.

#include <string>
#include <string_view>

namespace hushgate::windows {

std::string ToUtf8(std::wstring_view text);

// Returns 0 or the Windows error: invalid UTF-8, or a NUL byte, which would
// silently cut a path short.
unsigned long ToUtf16(std::string_view text, std::wstring& out);

// `bytes` in Windows code page `codePage` as UTF-16; where this system lacks
// the code page, each byte as the character of that number (Latin-1), so
// that plain ASCII stays readable.
std::wstring Decode(std::string_view bytes, unsigned codePage);

// The system's description of `err` in the user's language, one line without
// the closing full stop; "Windows error N" when the system has none.
std::string SystemErrorText(unsigned long err);

}  // namespace hushgate::windows
