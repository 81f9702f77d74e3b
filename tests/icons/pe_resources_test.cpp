// The PE resource reader against our own resources.dll and the PE files of
// the fuzz corpus, whole and damaged. Every file is handed over in a buffer of exactly
// its size, so AddressSanitizer reports any read past its end.

#include "pe_resources.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include "icon_file.h"

namespace hushgate {
namespace {

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> bytesOf(const std::vector<std::uint8_t>& file, const PeIconImage& icon) {
    EXPECT_LE(icon.fileOffset + icon.size, file.size());
    return {file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset),
            file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset + icon.size)};
}

TEST(IconLibraryReader, ReadsOurOwnLibrary) {
    const auto file = readFile(HUSHGATE_RESOURCES_DLL);
    const auto icons = FindIconImages(file);
    ASSERT_TRUE(icons);
    // The separator's picture, then language, about, web and facebook.
    ASSERT_EQ(icons->size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const PeIconImage& icon = (*icons)[static_cast<std::size_t>(i)];
        EXPECT_EQ(icon.number, i + 1);
        const auto info = DescribeIconImage(bytesOf(file, icon));
        ASSERT_TRUE(info);
        EXPECT_TRUE(info->width == 24 && info->height == 24 && info->bitCount == 32);
        EXPECT_EQ(icon.size, 40u + 24 * 24 * 4 + 24 * 4);  // header, colours, mask
    }
}

// The seeds of the fuzz target, listed with the icon numbers found in them
// ("-": not a PE file at all): damaged copies of three icons, 1 to 3; text
// names, other types and second languages passed over; numbers stored out of
// order; section bytes moved away from where the image has them; icon
// images broken in one place each. Every file keeps the reader's promises
// (icons inside the file, in ascending order), and none is an icon image.
TEST(IconLibraryReader, TakesTheCorpusAsListed) {
    const std::filesystem::path corpus = HUSHGATE_PE_CORPUS;
    std::ifstream listed(corpus.parent_path() / "corpus-expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string name, left; listed >> name && std::getline(listed, left);) {
        expected[name] = left;
    }
    ASSERT_GE(expected.size(), 50u);
    for (const auto& file : std::filesystem::directory_iterator(corpus)) {
        const auto bytes = readFile(file.path());
        const auto icons = FindIconImages(bytes);
        std::string found = icons ? "" : " -";
        int previous = -1;
        for (const PeIconImage& icon : icons.value_or(std::vector<PeIconImage>{})) {
            EXPECT_TRUE(icon.size > 0 && icon.fileOffset + icon.size <= bytes.size());
            EXPECT_GT(icon.number, std::exchange(previous, icon.number)) << file.path();
            found += " " + std::to_string(icon.number);
        }
        const auto name = file.path().filename().string();
        EXPECT_TRUE(!DescribeIconImage(bytes) && MakeIconFile(bytes).empty()) << name;
        EXPECT_TRUE(!expected.count(name) || expected[name] == found) << name << ":" << found;
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << expected.begin()->first << " is missing";
    EXPECT_FALSE(FindIconImages({}));
}

}  // namespace
}  // namespace hushgate
