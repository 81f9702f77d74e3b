// The PE resource reader against our own resources.dll and hand-built PE
// files, whole and damaged. Every file is handed over in a buffer of exactly
// its size, so AddressSanitizer reports any read past its end.

#include "pe_resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "icon_file.h"
#include "pe_builder.h"

namespace hushgate {
namespace {

using test::BuildPe;
using test::BuiltPe;
using test::Icon;
using test::ResName;

std::vector<std::uint8_t> readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::vector<PeIconImage>> find(const std::vector<std::uint8_t>& file) {
    return FindIconImages(file);
}

std::vector<int> numbers(const std::vector<PeIconImage>& icons) {
    std::vector<int> result;
    for (const PeIconImage& icon : icons) {
        result.push_back(icon.number);
    }
    return result;
}

// Distinct contents, so a test can tell which resource it got.
std::vector<std::uint8_t> payload(std::uint8_t tag, std::size_t size = 40) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(tag + i);
    }
    return bytes;
}

std::vector<std::uint8_t> bytesOf(const std::vector<std::uint8_t>& file, const PeIconImage& icon) {
    EXPECT_LE(icon.fileOffset + icon.size, file.size());
    return {file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset),
            file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset + icon.size)};
}

BuiltPe threeIcons() {
    return BuildPe({Icon(1, payload(10)), Icon(2, payload(20)), Icon(3, payload(30))});
}

TEST(IconLibraryReader, ReadsOurOwnLibrary) {
    const auto file = readFile(HUSHGATE_RESOURCES_DLL);
    ASSERT_FALSE(file.empty()) << HUSHGATE_RESOURCES_DLL;
    const auto icons = find(file);
    ASSERT_TRUE(icons);
    // The separator's picture, then language, about, web and facebook.
    EXPECT_EQ(numbers(*icons), (std::vector<int>{1, 2, 3, 4, 5}));
    for (const PeIconImage& icon : *icons) {
        const auto info = DescribeIconImage(bytesOf(file, icon));
        ASSERT_TRUE(info) << "icon " << icon.number;
        EXPECT_FALSE(info->isPng);
        EXPECT_EQ(info->width, 24);
        EXPECT_EQ(info->height, 24);
        EXPECT_EQ(info->bitCount, 32);
        // Header, 24 x 24 x 4 colour bytes, 24 mask rows of 4 bytes.
        EXPECT_EQ(icon.size, 40u + 24 * 24 * 4 + 24 * 4);
    }
}

TEST(IconLibraryReader, UsesOnlyIconImagesNamedByNumber) {
    const BuiltPe pe = BuildPe({
        {ResName::Id(3), ResName::Text(u"ABOUT"), 0x409, payload(1)},
        Icon(4, payload(2)),
        {ResName::Id(14), ResName::Id(1), 0x409, payload(3)},         // an icon group
        {ResName::Text(u"ICON"), ResName::Id(5), 0x409, payload(4)},  // a type named by text
        {ResName::Id(2), ResName::Id(6), 0x409, payload(5)},          // a bitmap
    });
    const auto icons = find(pe.bytes);
    ASSERT_TRUE(icons);
    ASSERT_EQ(numbers(*icons), std::vector<int>{4});
    EXPECT_EQ(bytesOf(pe.bytes, icons->front()), payload(2));
}

TEST(IconLibraryReader, GivesNumbersInAscendingOrderWhenStoredOutOfOrder) {
    const BuiltPe pe =
        BuildPe({Icon(9, payload(90)), Icon(2, payload(20)), Icon(5, payload(50, 7))});
    const auto icons = find(pe.bytes);
    ASSERT_TRUE(icons);
    ASSERT_EQ(numbers(*icons), (std::vector<int>{2, 5, 9}));
    EXPECT_EQ(bytesOf(pe.bytes, (*icons)[0]), payload(20));
    EXPECT_EQ(bytesOf(pe.bytes, (*icons)[1]), payload(50, 7));
    EXPECT_EQ(bytesOf(pe.bytes, (*icons)[2]), payload(90));
}

TEST(IconLibraryReader, ListsEveryIconImage) {
    std::vector<test::TestResource> resources;
    for (std::uint32_t n = 1; n <= 6; ++n) {
        resources.push_back(Icon(n * 100, payload(static_cast<std::uint8_t>(n), 16 * n)));
    }
    const auto icons = find(BuildPe(resources).bytes);
    ASSERT_TRUE(icons);
    EXPECT_EQ(numbers(*icons), (std::vector<int>{100, 200, 300, 400, 500, 600}));
    for (std::size_t i = 0; i < icons->size(); ++i) {
        EXPECT_EQ((*icons)[i].size, 16 * (i + 1));
    }
}

TEST(IconLibraryReader, ReadsPe32AndPe32PlusAlike) {
    const std::vector<test::TestResource> resources = {Icon(7, payload(7)), Icon(3, payload(3))};
    for (const bool plus : {false, true}) {
        const BuiltPe pe = BuildPe(resources, plus);
        const auto icons = find(pe.bytes);
        ASSERT_TRUE(icons) << (plus ? "PE32+" : "PE32");
        ASSERT_EQ(numbers(*icons), (std::vector<int>{3, 7}));
        EXPECT_EQ(bytesOf(pe.bytes, (*icons)[1]), payload(7));
    }
}

TEST(IconLibraryReader, MapsAddressesThroughTheSectionTable) {
    // Move the section's stored bytes further into the file; its address in
    // the image stays, so only the section table tells where the data is.
    BuiltPe pe = threeIcons();
    const auto before = *find(pe.bytes);
    pe.bytes.insert(pe.bytes.begin() + static_cast<std::ptrdiff_t>(pe.sectionData), 0x400, 0xEE);
    pe.write32(pe.sectionHeader + 20, static_cast<std::uint32_t>(pe.sectionData + 0x400));
    const auto after = find(pe.bytes);
    ASSERT_TRUE(after);
    ASSERT_EQ(numbers(*after), numbers(before));
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ((*after)[i].fileOffset, before[i].fileOffset + 0x400);
    }
}

TEST(IconLibraryReader, TellsWhatIsNotAPeFile) {
    const BuiltPe good = threeIcons();
    EXPECT_FALSE(find({}));
    EXPECT_FALSE(find(std::vector<std::uint8_t>{'M', 'Z'}));
    EXPECT_FALSE(find(std::vector<std::uint8_t>(1000, 'x')));
    const struct {
        const char* what;
        void (*change)(BuiltPe&);
    } cases[] = {
        {"no MZ", [](BuiltPe& pe) { pe.bytes[0] = 'N'; }},
        {"PE header past the end", [](BuiltPe& pe) { pe.write32(0x3C, 0xFFFFFFF0u); }},
        {"PE signature cut off",
         [](BuiltPe& pe) { pe.write32(0x3C, static_cast<std::uint32_t>(pe.bytes.size() - 2)); }},
        {"not PE\\0\\0", [](BuiltPe& pe) { pe.bytes[0x41] = 'X'; }},
        {"unknown optional header", [](BuiltPe& pe) { pe.write16(0x58, 0x107); }},
        {"optional header cut short", [](BuiltPe& pe) { pe.write16(0x54, 20); }},
        {"optional header past the end", [](BuiltPe& pe) { pe.write16(0x54, 0xFFFF); }},
        {"97 sections", [](BuiltPe& pe) { pe.write16(pe.sectionCountField, 97); }},
        {"section table past the end", [](BuiltPe& pe) { pe.write16(pe.sectionCountField, 90); }},
        {"section data past the end",
         [](BuiltPe& pe) { pe.write32(pe.sectionHeader + 16, 0xFFFFFE00u); }},
        {"section data starting past the end",
         [](BuiltPe& pe) { pe.write32(pe.sectionHeader + 20, 0xFFFFFFFFu); }},
    };
    for (const auto& c : cases) {
        BuiltPe pe = good;
        c.change(pe);
        EXPECT_FALSE(find(pe.bytes)) << c.what;
    }
    // The good one is one.
    EXPECT_TRUE(find(good.bytes));
}

TEST(IconLibraryReader, TakesATruncatedFileForNoLibrary) {
    const BuiltPe pe = threeIcons();
    // The section's stored data runs to the end of the file, so any cut
    // leaves a section pointing past the end.
    for (std::size_t length = 0; length < pe.bytes.size(); ++length) {
        const std::vector<std::uint8_t> cut(pe.bytes.begin(),
                                            pe.bytes.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(find(cut)) << "cut at " << length;
    }
}

TEST(IconLibraryReader, NeverReadsOutsideATreeThatIsCutShort) {
    // The section claims only what is left of a cut file, so the cut runs
    // through the tree and the data instead: what is found is found whole.
    const BuiltPe pe = threeIcons();
    const auto whole = *find(pe.bytes);
    for (std::size_t length = pe.sectionData; length < pe.bytes.size(); ++length) {
        BuiltPe cutPe = pe;
        cutPe.bytes.resize(length);
        cutPe.write32(pe.sectionHeader + 16, static_cast<std::uint32_t>(length - pe.sectionData));
        const auto icons = find(cutPe.bytes);
        ASSERT_TRUE(icons) << "cut at " << length;
        for (const PeIconImage& icon : *icons) {
            EXPECT_LE(icon.fileOffset + icon.size, length);
            const auto same = std::find_if(whole.begin(), whole.end(), [&](const PeIconImage& w) {
                return w.number == icon.number && w.fileOffset == icon.fileOffset &&
                       w.size == icon.size;
            });
            EXPECT_NE(same, whole.end());
        }
    }
}

TEST(IconLibraryReader, FindsNoIconsWhenTheResourceDirectoryPointsPastTheEnd) {
    for (const std::uint32_t rva : {0x00101000u, 0xFFFFFFF0u}) {
        BuiltPe pe = threeIcons();
        pe.write32(pe.resourceDirectoryField, rva);
        const auto icons = find(pe.bytes);
        ASSERT_TRUE(icons) << "still a PE file";
        EXPECT_TRUE(icons->empty());
    }
    // A directory whose entries would run past the end.
    BuiltPe pe = threeIcons();
    pe.write16(pe.at(0) + 14, 0xFFFF);
    ASSERT_TRUE(find(pe.bytes));
    EXPECT_TRUE(find(pe.bytes)->empty());
}

TEST(IconLibraryReader, FindsNoIconsWithoutAResourceDirectory) {
    BuiltPe pe = threeIcons();
    pe.write32(pe.resourceDirectoryField, 0);
    pe.write32(pe.resourceDirectoryField + 4, 0);
    ASSERT_TRUE(find(pe.bytes));
    EXPECT_TRUE(find(pe.bytes)->empty());
}

}  // namespace
}  // namespace hushgate
