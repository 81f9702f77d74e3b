#include "version_text.h"

#include <optional>

namespace hushgate {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

// Decimal digit strings are compared by value without converting them, so a
// number too long for any integer type cannot overflow.
int compareDecimal(std::string_view a, std::string_view b) {
    const auto stripZeros = [](std::string_view digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    a = stripZeros(a);
    b = stripZeros(b);
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

struct Version {
    std::string_view major;
    std::string_view minor;
};

std::optional<Version> parseVersion(std::string_view text) {
    const auto dot = text.find('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    Version version{text.substr(0, dot), text.substr(dot + 1)};
    if (!allDigits(version.major) || !allDigits(version.minor)) {
        return std::nullopt;
    }
    return version;
}

}  // namespace

std::string_view TrimVersionText(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

VersionVerdict EvaluateVersionText(std::string_view text, unsigned ownMajor, unsigned ownMinor) {
    const std::string_view trimmed = TrimVersionText(text);
    VersionVerdict verdict{false, std::string(trimmed)};
    const auto version = parseVersion(trimmed);
    if (!version) {
        return verdict;
    }
    const std::string major = std::to_string(ownMajor);
    const std::string minor = std::to_string(ownMinor);
    const int byMajor = compareDecimal(version->major, major);
    verdict.newer = byMajor > 0 || (byMajor == 0 && compareDecimal(version->minor, minor) > 0);
    return verdict;
}

}  // namespace hushgate
