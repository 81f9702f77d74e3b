#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hushgate::test {

// A resource type or name: a number, or text.
struct ResName {
    std::uint32_t id = 0;
    std::u16string text;
    bool isText = false;

    static ResName Id(std::uint32_t id) { return {id, {}, false}; }
    static ResName Text(std::u16string text) { return {0, std::move(text), true}; }
};

struct TestResource {
    ResName type;
    ResName name;
    std::uint16_t language = 0x0409;
    std::vector<std::uint8_t> data;
};

inline TestResource Icon(std::uint32_t number, std::vector<std::uint8_t> data,
                         std::uint16_t language = 0x0409) {
    return {ResName::Id(3), ResName::Id(number), language, std::move(data)};
}

// A PE file with one section holding a resource directory tree, and where its
// parts are, so that tests can damage them.
struct BuiltPe {
    std::vector<std::uint8_t> bytes;
    std::size_t sectionCountField = 0;       // NumberOfSections (16 bits)
    std::size_t resourceDirectoryField = 0;  // data directory 2: RVA, then size
    std::size_t sectionHeader = 0;           // the section's 40-byte header
    std::size_t sectionData = 0;             // where the tree starts in the file
    std::uint32_t sectionRva = 0;            // and in the image

    // File offset of an offset in the resource tree.
    std::size_t at(std::uint32_t treeOffset) const { return sectionData + treeOffset; }
    std::uint32_t read32(std::size_t offset) const;
    void write32(std::size_t offset, std::uint32_t value);
    void write16(std::size_t offset, std::uint16_t value);
    // Target of entry `index` of the directory at treeOffset (flag bit cleared).
    std::uint32_t entryTarget(std::uint32_t directory, std::uint32_t index) const;
    // File offsets of the data entries (data RVA, then size), in tree order:
    // by type, then name, then language, as BuildPe lays them out.
    std::vector<std::size_t> dataEntries;
};

// Lays out the tree in the order of `resources`: types in order of first
// appearance, names within a type likewise, languages as given. Nothing is
// sorted, so a test can store numbers out of order. Text names and types come
// first in their directory, as the format wants.
BuiltPe BuildPe(const std::vector<TestResource>& resources, bool pe32Plus = true);

// A 32-bit icon image as a PE file stores it: BITMAPINFOHEADER, colour rows
// (bottom-up, every pixel `argb`), then an all-clear transparency mask.
std::vector<std::uint8_t> DibIcon(int width, int height, std::uint32_t argb);

}  // namespace hushgate::test
