// The PE resource reader against our own resources.dll and hand-built PE
// files, whole and damaged. Every file is handed over in a buffer of exactly
// its size, so AddressSanitizer reports any read past its end.

#include "pe_resources.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <utility>

#include "icon_file.h"
#include "pe_builder.h"

namespace hushgate {
namespace {

using test::BuildPe;
using test::BuiltPe;
using test::Icon;
using test::ResName;
using Numbers = std::vector<int>;

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Distinct contents, so a test can tell which resource it got.
std::vector<std::uint8_t> payload(std::uint8_t tag, std::size_t size = 24) {
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

// The numbers of the icon images found in a PE file.
Numbers numbersIn(const BuiltPe& pe) {
    const auto icons = FindIconImages(pe.bytes);
    EXPECT_TRUE(icons) << "a PE file";
    Numbers result;
    for (const PeIconImage& icon : icons.value_or(std::vector<PeIconImage>{})) {
        result.push_back(icon.number);
    }
    return result;
}

BuiltPe threeIcons() {
    return BuildPe({Icon(1, payload(10)), Icon(2, payload(20)), Icon(3, payload(30))});
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

TEST(IconLibraryReader, UsesIconImagesNamedByNumberInAscendingOrder) {
    const std::vector<test::TestResource> resources = {
        Icon(9, payload(90)),
        {ResName::Id(3), ResName::Text(u"ABOUT"), 0x409, payload(1)},
        Icon(2, payload(20)),
        {ResName::Id(14), ResName::Id(1), 0x409, payload(3)},         // an icon group
        {ResName::Text(u"ICON"), ResName::Id(5), 0x409, payload(4)},  // a type named by text
        {ResName::Id(2), ResName::Id(6), 0x409, payload(5)},          // a bitmap
        Icon(5, payload(50, 7)),
        Icon(2, payload(21), 0x0407),  // a second language: the first one counts
    };
    for (const bool pe32Plus : {false, true}) {
        const BuiltPe pe = BuildPe(resources, pe32Plus);
        const auto icons = FindIconImages(pe.bytes);
        ASSERT_EQ(numbersIn(pe), (Numbers{2, 5, 9}));
        EXPECT_EQ(bytesOf(pe.bytes, (*icons)[0]), payload(20));
        EXPECT_EQ(bytesOf(pe.bytes, (*icons)[1]), payload(50, 7));
        EXPECT_EQ(bytesOf(pe.bytes, (*icons)[2]), payload(90));
    }
}

TEST(IconLibraryReader, MapsAddressesThroughTheSectionTable) {
    // Move the section's stored bytes further into the file; its address in
    // the image stays, so only the section table tells where the data is.
    BuiltPe pe = threeIcons();
    const auto before = *FindIconImages(pe.bytes);
    pe.bytes.insert(pe.bytes.begin() + static_cast<std::ptrdiff_t>(pe.sectionData), 0x400, 0xEE);
    test::PutLe32(pe.bytes, pe.sectionHeader + 20,
                  static_cast<std::uint32_t>(pe.sectionData + 0x400));
    const auto after = FindIconImages(pe.bytes);
    ASSERT_TRUE(after && after->size() == before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ((*after)[i].fileOffset, before[i].fileOffset + 0x400);
    }
}

// Damaged files, made with the PE builder from three icons, 1 to 3, and
// listed with what is left of them ("-": not a PE file at all); they are
// also seeds of the fuzz target. Every file of the corpus keeps the
// reader's promises: icons inside the file, in ascending order.
TEST(IconLibraryReader, TakesTheCorpusAsListed) {
    const std::filesystem::path corpus = HUSHGATE_PE_CORPUS;
    std::ifstream listed(corpus.parent_path() / "corpus-expected.txt");
    std::map<std::string, std::string> expected;
    for (std::string name, left; listed >> name && std::getline(listed, left);) {
        expected[name] = left;
    }
    ASSERT_GE(expected.size(), 30u);
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
        EXPECT_TRUE(!expected.count(name) || expected[name] == found) << name << ":" << found;
        expected.erase(name);
    }
    EXPECT_TRUE(expected.empty()) << expected.begin()->first << " is missing";
    EXPECT_FALSE(FindIconImages({}));
}

TEST(IconLibraryReader, NeverReadsOutsideATreeThatIsCutShort) {
    // The section claims only what is left of a cut file, so the cut runs
    // through the tree and the data instead: what is found is found whole.
    const BuiltPe pe = threeIcons();
    const auto whole = *FindIconImages(pe.bytes);
    for (std::size_t length = pe.sectionData; length < pe.bytes.size(); ++length) {
        BuiltPe cut = pe;
        cut.bytes.resize(length);
        test::PutLe32(cut.bytes, pe.sectionHeader + 16,
                      static_cast<std::uint32_t>(length - pe.sectionData));
        const auto icons = FindIconImages(cut.bytes);
        ASSERT_TRUE(icons) << "cut at " << length;
        for (const PeIconImage& icon : *icons) {
            EXPECT_TRUE(std::any_of(whole.begin(), whole.end(),
                                    [&](const PeIconImage& w) {
                                        return w.number == icon.number &&
                                               w.fileOffset == icon.fileOffset &&
                                               w.size == icon.size;
                                    }))
                << "cut at " << length;
        }
    }
}

#ifndef _WIN32
// Standard output of a shell command that succeeded.
std::optional<std::string> run(const std::string& command) {
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    return pclose(pipe) == 0 ? std::optional(output) : std::nullopt;
}

// Icoutils' wrestool, when installed, on Wine's DLLs, when installed.
TEST(IconLibraryReader, AgreesWithWrestoolOnSystemDlls) {
    int compared = 0;
    for (const char* dll : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/user32.dll",
                            "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll",
                            "/usr/lib/i386-linux-gnu/wine/i386-windows/user32.dll",
                            "/usr/lib/x86_64-linux-gnu/wine/i386-windows/zlib1.dll"}) {
        // "--type=3 --name=1 --language=0 [type=icon offset=0x140f38 size=296]";
        // text names, --name='ABOUT', do not match.
        const auto listing = run(std::string("wrestool -l --type=3 '") + dll + "'");
        if (!listing) {
            continue;
        }
        std::map<int, std::uint32_t> expected;
        std::istringstream lines(*listing);
        for (std::string line; std::getline(lines, line);) {
            int number = 0;
            unsigned size = 0;
            if (std::sscanf(line.c_str(),
                            "--type=3 --name=%d --language=%*d [type=icon offset=0x%*x size=%u]",
                            &number, &size) == 2) {
                expected.try_emplace(number, size);
            }
        }
        std::map<int, std::uint32_t> found;
        const auto icons = FindIconImages(readFile(dll));
        ASSERT_TRUE(icons) << dll;
        for (const PeIconImage& icon : *icons) {
            found[icon.number] = static_cast<std::uint32_t>(icon.size);
        }
        EXPECT_EQ(found, expected) << dll;
        ++compared;
    }
    if (compared == 0) {
        GTEST_SKIP() << "needs wrestool (icoutils) and Wine's DLLs";
    }
}
#endif

}  // namespace
}  // namespace hushgate
