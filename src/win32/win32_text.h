#pragma once

#include <string>
#include <string_view>

namespace hushgate {

class Text;

namespace win32 {

// UTF-8 (the program's own texts and file names) to UTF-16 and back.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A text as the window shows it: language-file pieces decoded with the code
// page of their character set, the program's own pieces as UTF-8.
std::wstring ToWide(const Text& text);

// The folder that holds the running program, without a trailing backslash.
std::wstring ProgramFolder();

// The system's description of a Windows error code, one line.
std::wstring ErrorText(unsigned long code);

}  // namespace win32
}  // namespace hushgate
