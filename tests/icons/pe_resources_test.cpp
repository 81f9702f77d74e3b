// The PE resource reader and the icon file header against the files of the
// fuzz corpus: our resources.dll, PE files whole and damaged, icon images and
// near misses. Every file is handed over in a buffer of exactly its size, so
// AddressSanitizer reports any read past its end.

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

using Bytes = std::vector<std::uint8_t>;

// corpus-expected.txt lists each seed with the icon numbers found in it
// ("-": not a PE file at all) and, for an icon image, "ico" and the directory
// entry put in front of it: width, height, colours, reserved, planes and bits
// per pixel, byte by byte. Every file keeps the reader's promises (icons
// inside the file, in ascending order); an icon image's .ico file is the
// image behind one whole directory entry.
TEST(IconLibraryReader, TakesTheCorpusAsListed) {
    const std::filesystem::path corpus = HUSHGATE_PE_CORPUS;
    std::ifstream listed(corpus.parent_path() / "corpus-expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string name, left; listed >> name && std::getline(listed, left);) {
        expected[name] = left;
    }
    ASSERT_GE(expected.size(), 88u);
    for (const auto& file : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(file.path(), std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const auto name = file.path().filename().string();
        const auto icons = FindIconImages(bytes);
        std::string found = icons ? "" : " -";
        int previous = -1;
        for (const PeIconImage& icon : icons.value_or(std::vector<PeIconImage>{})) {
            EXPECT_TRUE(icon.size > 0 && icon.fileOffset + icon.size <= bytes.size()) << name;
            EXPECT_GT(icon.number, std::exchange(previous, icon.number)) << name;
            found += " " + std::to_string(icon.number);
        }
        const Bytes ico = MakeIconFile(bytes);
        EXPECT_EQ(DescribeIconImage(bytes).has_value(), !ico.empty()) << name;
        if (ico.size() >= 22) {
            found += " ico";
            for (std::size_t i = 6; i < 14; ++i) {
                found += " " + std::to_string(ico[i]);
            }
            const auto size = static_cast<std::uint32_t>(bytes.size());
            EXPECT_EQ(Bytes(ico.begin(), ico.begin() + 6), (Bytes{0, 0, 1, 0, 1, 0})) << name;
            EXPECT_EQ(Bytes(ico.begin() + 14, ico.begin() + 22),
                      (Bytes{std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                             std::uint8_t(size >> 24), 22, 0, 0, 0}))
                << name;  // the image follows at once
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), ico.begin() + 22, ico.end()))
                << name;
        }
        EXPECT_TRUE(!expected.count(name) || expected[name] == found) << name << ":" << found;
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << expected.begin()->first << " is missing";
    EXPECT_FALSE(FindIconImages({}));
}

}  // namespace
}  // namespace hushgate
