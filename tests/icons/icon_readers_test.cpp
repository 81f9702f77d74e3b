// The icon readers against the files of the fuzz corpora: the PE resource
// reader and the icon file header (our resources.dll, PE files whole and
// damaged, icon images and near misses), and reading icon and cursor
// directories, choosing the frame for a list size and decoding it. Every
// file is handed over in a buffer of exactly its size, so AddressSanitizer
// reports any read past its end.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <tuple>
#include <utility>

#include "icon_directory.h"
#include "icon_file.h"
#include "pe_resources.h"

using namespace hushgate;
using namespace hushgate::menuimage;
using ByteVector = std::vector<std::uint8_t>;

namespace {

const std::filesystem::path kCorpus = HUSHGATE_ICON_CORPUS;

ByteVector readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every seed of `corpus`, read whole, as `describe` tells it, against its
// line in corpus-expected.txt, which lists every seed (at least `seeds`).
void expectCorpusAsListed(
    const std::filesystem::path& corpus, std::size_t seeds,
    const std::function<std::string(const ByteVector&, const std::string&)>& describe) {
    std::ifstream list(corpus.parent_path() / "corpus-expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string name, rest; list >> name && std::getline(list, rest);) {
        expected[name] = rest;
    }
    ASSERT_GE(expected.size(), seeds);
    for (const auto& file : std::filesystem::directory_iterator(corpus)) {
        const std::string name = file.path().filename().string();
        EXPECT_EQ(expected[name], describe(readFile(file.path()), name)) << name;
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << expected.begin()->first << " is missing";
}

IconDirEntry entry(int width, int height, std::uint16_t bits) {
    IconDirEntry e;
    e.width = static_cast<std::uint8_t>(width);
    e.height = static_cast<std::uint8_t>(height);
    e.bitCount = bits;
    return e;
}

// What a side x side list gets, as corpus-expected.txt writes it: "-", "png"
// and its size, or width x height and the pixels as 0xAARRGGBB, top row
// first (above 16 pixels the first and the last only).
std::string listed(const ByteVector& bytes, int side) {
    const auto frame = IconFromBytes(bytes, side, side);
    if (!frame) {
        return " -";
    }
    if (frame->isPng) {
        return " png " + std::to_string(frame->png.size());
    }
    const std::size_t count = frame->argb.size();
    EXPECT_EQ(count, std::size_t(frame->width) * std::size_t(frame->height));
    std::string text = " " + std::to_string(frame->width) + "x" + std::to_string(frame->height);
    for (std::size_t i = 0; i < count; ++i) {
        if (count <= 16 || i == 0 || i + 1 == count) {
            char pixel[10];
            std::snprintf(pixel, sizeof pixel, " %08X", static_cast<unsigned>(frame->argb[i]));
            text += pixel;
        }
    }
    return text;
}

// What a PE seed's line in corpus-expected.txt says (see the test below),
// checking the reader's promises on the way.
std::string peListed(const ByteVector& bytes, const std::string& name) {
    const auto icons = FindIconImages(bytes);
    std::string found = icons ? "" : " -";
    int previous = -1;
    for (const PeIconImage& icon : icons.value_or(std::vector<PeIconImage>{})) {
        EXPECT_TRUE(icon.size > 0 && icon.fileOffset + icon.size <= bytes.size()) << name;
        EXPECT_GT(icon.number, std::exchange(previous, icon.number)) << name;
        found += " " + std::to_string(icon.number);
    }
    for (const std::vector<std::uint16_t>& group : FindIconGroups(bytes)) {
        found += " group";
        for (const std::uint16_t number : group) {
            found += " " + std::to_string(number);
        }
    }
    const ByteVector ico = MakeIconFile(bytes);
    EXPECT_EQ(DescribeIconImage(bytes).has_value(), !ico.empty()) << name;
    if (ico.size() >= 22) {
        found += " ico";
        for (std::size_t i = 6; i < 14; ++i) {
            found += " " + std::to_string(ico[i]);
        }
        const auto size = static_cast<std::uint32_t>(bytes.size());
        EXPECT_EQ(ByteVector(ico.begin(), ico.begin() + 6), (ByteVector{0, 0, 1, 0, 1, 0})) << name;
        EXPECT_EQ(ByteVector(ico.begin() + 14, ico.begin() + 22),
                  (ByteVector{std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                              std::uint8_t(size >> 24), 22, 0, 0, 0}))
            << name;  // the image follows at once
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), ico.begin() + 22, ico.end())) << name;
    }
    return found;
}

}  // namespace

TEST(IconDirectory, IsKnownByItsTypeAndReadWhole) {
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 1}));
    EXPECT_TRUE(LooksLikeIconDirectory(ByteVector{0, 0, 2, 0, 1, 0}));
    // "BM" then the file size, whose low byte may be 1 or 2.
    for (const ByteVector& no :
         {ByteVector{0, 0, 3}, ByteVector{0, 0}, ByteVector{}, ByteVector{'B', 'M', 1, 2, 0, 0},
          ByteVector{'B', 'M', 2, 1, 0, 0}}) {
        EXPECT_FALSE(LooksLikeIconDirectory(no));
    }
    // A cursor's planes and bit count are its hot spot.
    const auto entries = ReadIconDirectory(readFile(kCorpus / "hand.cur"));
    ASSERT_TRUE(entries && entries->size() == 1u);
    const IconDirEntry& e = entries->front();
    EXPECT_EQ(std::tuple(e.width, e.height, e.colorCount, e.reserved, e.planes, e.bitCount,
                         e.bytesInRes, e.imageOffset),
              std::tuple(32, 32, 2, 0, 6, 0, 304u, 22u));
}

// The greatest bit count first, then the largest width + height not above
// the list's; ties keep the earlier entry; a sum of 0 (a stored 256) never.
TEST(ChooseIconEntry, DepthFirstThenTheLargestThatFits) {
    const std::vector<IconDirEntry> mixed = {entry(16, 16, 8), entry(48, 48, 8), entry(32, 32, 32)};
    const std::vector<IconDirEntry> sizes = {entry(16, 16, 32), entry(32, 32, 32),
                                             entry(24, 24, 32), entry(48, 48, 32)};
    const std::vector<IconDirEntry> ties = {entry(16, 32, 32), entry(32, 16, 32),
                                            entry(24, 24, 32)};
    const std::vector<IconDirEntry> zero = {entry(0, 0, 32)};
    const struct {
        const std::vector<IconDirEntry>& entries;
        int width, height;
        std::optional<std::size_t> chosen;
    } rows[] = {
        {mixed, 48, 48, 2},
        {mixed, 256, 256, 2},
        {mixed, 16, 16, std::nullopt},
        {sizes, 16, 16, 0},
        {sizes, 24, 24, 2},
        {sizes, 40, 40, 1},
        {sizes, 20, 12, 0},
        {sizes, 15, 16, std::nullopt},
        {ties, 24, 24, 0},
        {zero, 16, 16, std::nullopt},
        {zero, 0, 0, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ChooseIconEntry(row.entries, row.width, row.height), row.chosen)
            << row.width << " x " << row.height;
    }
}

// corpus-expected.txt lists every seed with what a 16 x 16 and a 48 x 48
// list get from it (see listed()): frames of every depth, with their masks
// and alpha; damaged files ("refused-*"), which give nothing; partners at a
// limit ("frame-*"); the program's own icons and cursors.
TEST(IconFromBytes, TakesTheCorpusAsListed) {
    expectCorpusAsListed(kCorpus, 53, [](const ByteVector& bytes, const std::string&) {
        return listed(bytes, 16) + " /" + listed(bytes, 48);
    });
}

// corpus-expected.txt lists each seed with the icon numbers found in it
// ("-": not a PE file at all), the numbers each icon group lists, and, for an icon image, "ico" and
// the directory entry put in front of it: width, height, colours, reserved, planes and bits per
// pixel, byte by byte. Every file keeps the reader's promises (icons inside the file, in ascending
// order); an icon image's .ico file is the image behind one whole directory entry.
TEST(IconLibraryReader, TakesTheCorpusAsListed) {
    expectCorpusAsListed(HUSHGATE_PE_CORPUS, 88, peListed);
    EXPECT_FALSE(FindIconImages({}));
}

// The numbers an icon group lists; anything but an icon group's header, or
// an entry cut short, lists none.
TEST(IconGroup, ListsItsImageNumbers) {
    ByteVector two = {0, 0, 1, 0, 2, 0};
    for (const std::uint16_t number : {7, 0x0102}) {
        two.insert(two.end(), {24, 24, 0, 0, 1, 0, 32, 0, 0x88, 9, 0, 0});
        two.insert(two.end(), {std::uint8_t(number), std::uint8_t(number >> 8)});
    }
    const auto changed = [&](std::size_t at, std::uint8_t value) {
        ByteVector copy = two;
        copy[at] = value;
        return copy;
    };
    const std::pair<ByteVector, std::vector<std::uint16_t>> rows[] = {
        {two, {7, 0x0102}},
        {ByteVector(two.begin(), two.end() - 1), {}},  // the last entry cut short
        {changed(0, 1), {}},                           // reserved
        {changed(2, 2), {}},                           // a cursor group
        {ByteVector(two.begin(), two.begin() + 5), {}},
    };
    for (const auto& [group, numbers] : rows) {
        EXPECT_EQ(ReadIconGroupMembers(group), numbers) << group.size();
    }
}

// A group gives its frame nearest the size, on a tie the smaller, and keeps
// its other usable frames beside it; an image no group lists stands alone.
TEST(PickIconFrames, OneFramePerIcon) {
    // Image 3's header is not an icon image's; 8 is not in the library.
    const std::vector<LibraryImage> images = {{1, 16}, {2, 24}, {3, 0}, {4, 32},
                                              {5, 48}, {7, 20}, {9, 28}};
    using Groups = std::vector<std::vector<std::uint16_t>>;
    const struct {
        Groups groups;
        int side;
        std::vector<std::vector<std::uint16_t>> picked;  // the picture first, then its frames
    } rows[] = {
        {{}, 24, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {7, 7}, {9, 9}}},
        {{{4, 2}}, 28, {{1, 1}, {2, 2, 4}, {3, 3}, {5, 5}, {7, 7}, {9, 9}}},
        {{{4, 2}}, 29, {{1, 1}, {3, 3}, {4, 2, 4}, {5, 5}, {7, 7}, {9, 9}}},
        {{{3, 8, 5}}, 16, {{1, 1}, {2, 2}, {4, 4}, {5, 5}, {7, 7}, {9, 9}}},
        {{{3, 8}}, 16, {{1, 1}, {2, 2}, {4, 4}, {5, 5}, {7, 7}, {9, 9}}},
        {{{1, 2}, {2, 4}}, 20, {{1, 1, 2}, {2, 2, 4}, {3, 3}, {5, 5}, {7, 7}, {9, 9}}},
        {{{2, 4}, {5, 2}}, 24, {{1, 1}, {2, 2, 4}, {3, 3}, {7, 7}, {9, 9}}},
        {{{5, 5, 4, 1, 2, 7, 9}}, 256, {{3, 3}, {5, 1, 2, 4, 5, 7, 9}}},
        {{{5, 5, 4, 1, 2, 7, 9}}, 0, {{1, 1, 2, 4, 5, 7, 9}, {3, 3}}},
    };
    for (const auto& row : rows) {
        std::vector<std::vector<std::uint16_t>> picked;
        for (const PickedIcon& icon : PickIconFrames(images, row.groups, row.side)) {
            picked.push_back({images[icon.image].number});
            for (const std::size_t frame : icon.frames) {
                picked.back().push_back(images[frame].number);
            }
        }
        EXPECT_EQ(picked, row.picked) << row.side;
    }
}

// Our resources.dll: five icons of 24, 32, 40 and 48 pixels, numbered in
// that order; every size from 16 to 256 gets one frame of each, the same.
TEST(PickIconFrames, OurLibraryAtEverySize) {
    const ByteVector dll = readFile(HUSHGATE_RESOURCES_DLL);
    const auto icons = FindIconImages(dll);
    ASSERT_TRUE(icons && icons->size() == 20u);
    std::vector<LibraryImage> images;
    for (const PeIconImage& icon : *icons) {
        const auto info = DescribeIconImage(std::span(dll).subspan(icon.fileOffset, icon.size));
        images.push_back({icon.number, info ? info->width : 0});
    }
    const auto groups = FindIconGroups(dll);
    for (int side = 16; side <= 256; ++side) {
        const std::size_t frame = side <= 28 ? 0 : side <= 36 ? 1 : side <= 44 ? 2 : 3;
        const auto picked = PickIconFrames(images, groups, side);
        ASSERT_EQ(picked.size(), 5u) << side;
        for (std::size_t icon = 0; icon < 5; ++icon) {
            EXPECT_EQ(picked[icon].image, icon * 4 + frame) << side;
            EXPECT_EQ(images[picked[icon].image].side, 24 + 8 * int(frame)) << side;
            EXPECT_EQ(picked[icon].frames, (std::vector<std::size_t>{icon * 4, icon * 4 + 1,
                                                                     icon * 4 + 2, icon * 4 + 3}));
        }
    }
}
