// The PE resource reader on damaged resource trees, and against icoutils'
// wrestool on real DLLs of the system.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "pe_builder.h"
#include "pe_resources.h"

namespace hushgate {
namespace {

using test::BuildPe;
using test::BuiltPe;
using test::Icon;

constexpr std::uint32_t kSubdirectory = 0x80000000u;

std::vector<int> numbersIn(const BuiltPe& pe) {
    const auto icons = FindIconImages(pe.bytes);
    EXPECT_TRUE(icons) << "a PE file";
    std::vector<int> result;
    for (const PeIconImage& icon : icons.value_or(std::vector<PeIconImage>{})) {
        result.push_back(icon.number);
    }
    return result;
}

std::vector<std::uint8_t> payload(std::uint8_t tag) {
    return std::vector<std::uint8_t>(24, tag);
}

BuiltPe threeIcons() {
    return BuildPe({Icon(1, payload(1)), Icon(2, payload(2)), Icon(3, payload(3))});
}

// Tree offsets: root 0, its entry 0 leads to the icon type's name directory.
std::uint32_t nameDirectory(const BuiltPe& pe) {
    return pe.entryTarget(0, 0);
}
std::size_t nameEntry(const BuiltPe& pe, std::uint32_t index) {
    return pe.at(nameDirectory(pe)) + 16 + 8 * index;
}

TEST(IconLibraryReaderTree, DoesNotFollowATypeDirectoryThatLoopsToTheRoot) {
    BuiltPe pe = threeIcons();
    pe.write32(pe.at(0) + 16 + 4, kSubdirectory | 0);
    EXPECT_TRUE(numbersIn(pe).empty());
}

TEST(IconLibraryReaderTree, PassesOverANameWhoseLanguagesLoopBack) {
    for (const bool toRoot : {false, true}) {
        BuiltPe pe = threeIcons();
        const std::uint32_t target = toRoot ? 0 : nameDirectory(pe);
        pe.write32(nameEntry(pe, 1) + 4, kSubdirectory | target);
        EXPECT_EQ(numbersIn(pe), (std::vector<int>{1, 3})) << (toRoot ? "root" : "name directory");
    }
}

TEST(IconLibraryReaderTree, PassesOverALanguageEntryThatIsADirectory) {
    // A fourth level does not exist: here the language entry points at its
    // own directory, which would loop for ever if it were followed.
    BuiltPe pe = threeIcons();
    const std::uint32_t languages = pe.entryTarget(nameDirectory(pe), 0);
    pe.write32(pe.at(languages) + 16 + 4, kSubdirectory | languages);
    EXPECT_EQ(numbersIn(pe), (std::vector<int>{2, 3}));
}

TEST(IconLibraryReaderTree, PassesOverANameEntryThatIsNotADirectory) {
    BuiltPe pe = threeIcons();
    pe.write32(nameEntry(pe, 2) + 4, pe.entryTarget(nameDirectory(pe), 2));  // flag cleared
    EXPECT_EQ(numbersIn(pe), (std::vector<int>{1, 2}));
}

TEST(IconLibraryReaderTree, PassesOverDamagedIconData) {
    const std::uint32_t sectionEnd = 0x1000 + 0x200;
    const struct {
        const char* what;
        std::uint32_t rva;  // 0: keep
        std::uint32_t size;
    } cases[] = {
        {"empty", 0, 0},
        {"address past the section", sectionEnd + 0x10, 24},
        {"address past 4 GiB when added up", 0xFFFFFFF0u, 0x20},
        {"size running past the end", 0, 0x10000},
        {"size near 4 GiB", 0, 0xFFFFFFFFu},
        {"address before the section", 0x10, 24},
    };
    for (const auto& c : cases) {
        BuiltPe pe = threeIcons();
        const std::size_t entry = pe.dataEntries.at(1);
        if (c.rva != 0) {
            pe.write32(entry, c.rva);
        }
        pe.write32(entry + 4, c.size);
        EXPECT_EQ(numbersIn(pe), (std::vector<int>{1, 3})) << c.what;
    }
    // A data entry that is itself outside the file.
    BuiltPe pe = threeIcons();
    const std::uint32_t languages = pe.entryTarget(nameDirectory(pe), 0);
    pe.write32(pe.at(languages) + 16 + 4, 0x7FFFFFF0u);
    EXPECT_EQ(numbersIn(pe), (std::vector<int>{2, 3}));
}

TEST(IconLibraryReaderTree, DoesNotUseBytesPastTheSectionsVirtualSize) {
    // The stored section is padded to 512 bytes; the padding after the
    // section's own size is not part of the loaded image.
    BuiltPe pe = threeIcons();
    const std::size_t lastData = pe.read32(pe.dataEntries.at(2)) - pe.sectionRva;
    pe.write32(pe.sectionHeader + 8, static_cast<std::uint32_t>(lastData + 10));
    EXPECT_EQ(numbersIn(pe), (std::vector<int>{1, 2}));
}

TEST(IconLibraryReaderTree, TakesTheFirstLanguageOfEachIcon) {
    const BuiltPe pe = BuildPe(
        {Icon(1, payload(7), 0x0407), Icon(1, payload(9), 0x0409), Icon(2, payload(2), 0x0409)});
    const auto icons = FindIconImages(pe.bytes);
    ASSERT_TRUE(icons);
    ASSERT_EQ(icons->size(), 2u);
    EXPECT_EQ(pe.bytes.at((*icons)[0].fileOffset), 7);

    // A name without any language has no icon.
    BuiltPe empty = pe;
    const std::uint32_t languages = empty.entryTarget(nameDirectory(empty), 0);
    empty.write16(empty.at(languages) + 14, 0);
    EXPECT_EQ(numbersIn(empty), std::vector<int>{2});
}

TEST(IconLibraryReaderTree, KeepsTheFirstOfTwoIconsWithTheSameNumber) {
    BuiltPe pe = threeIcons();
    pe.write32(nameEntry(pe, 2), 1);  // icon 3 now also claims to be icon 1
    const auto icons = FindIconImages(pe.bytes);
    ASSERT_TRUE(icons);
    ASSERT_EQ(icons->size(), 2u);
    EXPECT_EQ(pe.bytes.at((*icons)[0].fileOffset), 1);
}

TEST(IconLibraryReaderTree, PassesOverNamesWiderThanSixteenBits) {
    BuiltPe pe = threeIcons();
    pe.write32(nameEntry(pe, 0), 0x00010001u);
    EXPECT_EQ(numbersIn(pe), (std::vector<int>{2, 3}));
}

// --- Against wrestool ------------------------------------------------------
// wrestool and Wine's DLLs are looked for on Linux only.
#ifndef _WIN32

struct ListedIcon {
    int language = 0;
    std::uint32_t size = 0;
};

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
    if (pclose(pipe) != 0) {
        return std::nullopt;
    }
    return output;
}

// wrestool's numbered icon images: number -> the first language listed.
std::optional<std::map<int, ListedIcon>> wrestoolIcons(const std::string& dll) {
    const auto output = run("wrestool -l --type=3 '" + dll + "'");
    if (!output) {
        return std::nullopt;
    }
    // --type=3 --name=1 --language=0 [type=icon offset=0x140f38 size=296]
    // (text names, --name='ABOUT', do not match; the offset is an address in
    // the image, not in the file).
    std::map<int, ListedIcon> icons;
    std::istringstream lines(*output);
    for (std::string line; std::getline(lines, line);) {
        int number = 0;
        ListedIcon icon;
        if (std::sscanf(line.c_str(),
                        "--type=3 --name=%d --language=%d [type=icon offset=0x%*x size=%u]",
                        &number, &icon.language, &icon.size) == 3) {
            icons.try_emplace(number, icon);
        }
    }
    return icons;
}

TEST(IconLibraryReaderTree, AgreesWithWrestoolOnSystemDlls) {
    if (std::system("wrestool --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "wrestool (Debian package icoutils) is not installed";
    }
    // Wine's DLLs carry icons; zlib1.dll is a PE32 file without any.
    const std::vector<std::filesystem::path> candidates = {
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/user32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/comdlg32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll",
        "/usr/lib/i386-linux-gnu/wine/i386-windows/user32.dll",
        "/usr/lib/wine/i386-windows/user32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/i386-windows/zlib1.dll",
        HUSHGATE_RESOURCES_DLL,
    };
    int compared = 0;
    for (const auto& dll : candidates) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(dll, error)) {
            continue;
        }
        const auto expected = wrestoolIcons(dll.string());
        if (!expected) {
            continue;
        }
        std::ifstream in(dll, std::ios::binary);
        const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
        const auto icons = FindIconImages(file);
        ASSERT_TRUE(icons) << dll;
        std::map<int, PeIconImage> found;
        for (const PeIconImage& icon : *icons) {
            found[icon.number] = icon;
        }
        ASSERT_EQ(found.size(), expected->size()) << dll;
        for (const auto& [number, listed] : *expected) {
            ASSERT_TRUE(found.count(number)) << dll << " icon " << number;
            EXPECT_EQ(found[number].size, listed.size) << dll << " icon " << number;
        }
        // The bytes too, for the first, a middle and the last icon.
        if (!expected->empty()) {
            for (auto it : {expected->begin(), std::next(expected->begin(), expected->size() / 2),
                            std::prev(expected->end())}) {
                const auto raw =
                    run("wrestool -x --raw --type=3 --name=" + std::to_string(it->first) +
                        " --language=" + std::to_string(it->second.language) + " '" + dll.string() +
                        "'");
                ASSERT_TRUE(raw) << dll << " icon " << it->first;
                const PeIconImage& icon = found[it->first];
                EXPECT_TRUE(std::equal(
                    raw->begin(), raw->end(),
                    file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset),
                    file.begin() + static_cast<std::ptrdiff_t>(icon.fileOffset + icon.size),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
                    << dll << " icon " << it->first;
            }
        }
        ++compared;
        std::printf("compared %zu icon images of %s\n", expected->size(), dll.c_str());
    }
    if (compared <= 1) {
        GTEST_SKIP() << "no system DLL to compare with (Wine's, for example) is installed";
    }
}
#endif

}  // namespace
}  // namespace hushgate
