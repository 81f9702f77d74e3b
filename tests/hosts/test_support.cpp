#include "test_support.h"

#include "block_list.h"

namespace hushgate::test {

std::string joined(const std::vector<std::string>& lines, std::string_view terminator) {
    std::string text;
    for (const std::string& line : lines) {
        (text += line) += terminator;
    }
    return text;
}

std::string allEntries(std::string_view terminator) {
    std::string text;
    for (std::string_view entry : BlockEntries()) {
        (text += entry) += terminator;
    }
    return text;
}

Picture pictureOf(const std::string& path) {
    return {readFile(path), metadataOf(path)};
}

}  // namespace hushgate::test
