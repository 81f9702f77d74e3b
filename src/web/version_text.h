#pragma once

#include <string>
#include <string_view>

namespace hushgate {

// What the version file's text says compared with this program's version.
struct VersionVerdict {
    bool newer = false;
    // The text without surrounding white space: what the user is shown.
    std::string version;
};

// The text with surrounding white space (and a leading UTF-8 byte-order mark,
// which some editors write) removed.
std::string_view TrimVersionText(std::string_view text);

// Evaluates the version file's text. It must read "major.minor", two decimal
// numbers, after trimming; the numbers are compared as numbers, so 1.10 is
// newer than 1.9, and any length of digits works. Anything else (an empty
// answer, an error page, "1.2.3") is not a version and so never newer.
VersionVerdict EvaluateVersionText(std::string_view text, unsigned ownMajor, unsigned ownMinor);

}  // namespace hushgate
