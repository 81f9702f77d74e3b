#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace hushgate {

// The program's own words, file names and the system's messages: the
// encoding of file names (UTF-8 on Windows, the locale's bytes elsewhere).
inline constexpr int kProgramText = -1;

// A run of bytes in one encoding: a language file's code page, named by the
// file's character set (code_pages.h), or kProgramText.
struct TextPiece {
    std::string bytes;
    int characterSet = kProgramText;

    bool operator==(const TextPiece&) const = default;
};

// A text as the windows show it, still undecoded. Texts from language files
// keep the file's bytes, and each front end decodes them with its own means
// (Qt's decoders; MultiByteToWideChar with the code page), so nothing here
// needs to know a code page's letters. A message made of a language file's
// sentence and a file name is several pieces.
class Text {
public:
    Text() = default;
    // The program's own text.
    Text(const char* bytes) : Text(std::string(bytes)) {}  // NOLINT: implicit on purpose
    Text(std::string bytes, int characterSet = kProgramText);

    const std::vector<TextPiece>& pieces() const { return pieces_; }
    bool empty() const { return pieces_.empty(); }

    // %1 to %9 replaced by the texts given, as QString::arg does with
    // several arguments: one pass, so a marker inside an argument stays as
    // it is; a marker without an argument stays too. The markers are
    // ASCII, and no byte of a multi-byte code page's character is '%' or a
    // digit, so they are found in the undecoded bytes.
    Text arg(std::initializer_list<Text> arguments) const;
    Text arg(const Text& first) const { return arg({first}); }
    Text arg(const Text& first, const Text& second) const { return arg({first, second}); }

    Text& operator+=(const Text& more);
    friend Text operator+(Text left, const Text& right) { return left += right; }
    bool operator==(const Text&) const = default;

private:
    void append(std::string_view bytes, int characterSet);

    // Never an empty piece; neighbours always differ in encoding.
    std::vector<TextPiece> pieces_;
};

}  // namespace hushgate
