#include "pe_resources.h"

#include <algorithm>

#include "byte_reader.h"
#include "icon_file.h"

namespace hushgate {

namespace {

// Layout of the PE format (all numbers little-endian).
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kPeHeaderOffsetField = 0x3C;  // e_lfanew
constexpr std::size_t kFileHeaderSize = 20;         // after the 4-byte "PE\0\0"
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;  // in the data directories
constexpr std::size_t kDirectoryHeaderSize = 16;      // IMAGE_RESOURCE_DIRECTORY
constexpr std::size_t kDirectoryEntrySize = 8;        // IMAGE_RESOURCE_DIRECTORY_ENTRY
constexpr std::size_t kDataEntrySize = 16;            // IMAGE_RESOURCE_DATA_ENTRY
constexpr std::uint32_t kHighBit = 0x80000000u;       // name is text / entry is a subdirectory
constexpr std::uint32_t kIconType = 3;                // RT_ICON
constexpr std::uint32_t kIconGroupType = 14;          // RT_GROUP_ICON

// The Windows loader refuses images with more sections than this, so a file
// with more is not a library; it also keeps each address lookup short.
constexpr std::uint16_t kMaxSections = 96;

// The part of a section that is both stored in the file and part of the
// loaded image: addresses inside it map to file offsets.
struct Section {
    std::uint32_t virtualAddress = 0;
    std::uint32_t length = 0;
    std::uint32_t fileOffset = 0;
};

struct Headers {
    std::vector<Section> sections;
    std::uint32_t resourceRva = 0;  // 0: the file has no resource directory
};

std::optional<Headers> readHeaders(const ByteReader& file) {
    if (!file.holds(0, kDosHeaderSize) || file.u16(0) != 0x5A4D) {  // "MZ"
        return std::nullopt;
    }
    const std::uint64_t pe = *file.u32(kPeHeaderOffsetField);
    if (file.u32(pe) != 0x00004550u) {  // "PE\0\0"
        return std::nullopt;
    }
    const std::uint64_t fileHeader = pe + 4;
    const auto sectionCount = file.u16(fileHeader + 2);
    const auto optionalSize = file.u16(fileHeader + 16);
    if (!sectionCount || !optionalSize || *sectionCount > kMaxSections) {
        return std::nullopt;
    }
    const std::uint64_t optional = fileHeader + kFileHeaderSize;
    if (!file.holds(optional, *optionalSize)) {
        return std::nullopt;
    }
    // The data directories sit at a different place in PE32 and PE32+.
    std::uint64_t countField = 0;
    const auto magic = file.u16(optional);
    if (magic == kPe32Magic) {
        countField = 92;
    } else if (magic == kPe32PlusMagic) {
        countField = 108;
    } else {
        return std::nullopt;
    }
    if (*optionalSize < countField + 4) {
        return std::nullopt;
    }

    Headers headers;
    const std::uint32_t directoryCount = *file.u32(optional + countField);
    const std::uint64_t resourceEntry = countField + 4 + 8 * std::uint64_t{kResourceDirectoryIndex};
    // Only directories inside the optional header count, whatever the count says.
    if (directoryCount > kResourceDirectoryIndex && resourceEntry + 8 <= *optionalSize) {
        headers.resourceRva = *file.u32(optional + resourceEntry);
    }

    const std::uint64_t table = optional + *optionalSize;
    if (!file.holds(table, std::uint64_t{*sectionCount} * kSectionHeaderSize)) {
        return std::nullopt;
    }
    for (std::uint16_t i = 0; i < *sectionCount; ++i) {
        const std::uint64_t header = table + std::uint64_t{i} * kSectionHeaderSize;
        const std::uint32_t virtualSize = *file.u32(header + 8);
        Section section;
        section.virtualAddress = *file.u32(header + 12);
        const std::uint32_t rawSize = *file.u32(header + 16);
        section.fileOffset = *file.u32(header + 20);
        // A section whose stored bytes run past the end marks a cut-off file.
        if (rawSize != 0 && !file.holds(section.fileOffset, rawSize)) {
            return std::nullopt;
        }
        // Bytes past the virtual size are file padding, not part of the section
        // (0 is left there by some linkers and means "as stored").
        section.length = virtualSize != 0 ? std::min(rawSize, virtualSize) : rawSize;
        headers.sections.push_back(section);
    }
    return headers;
}

// Maps [rva, rva + length) to a file offset, when one section holds it all.
std::optional<std::uint64_t> mapRange(const Headers& headers, std::uint64_t rva,
                                      std::uint64_t length) {
    for (const Section& section : headers.sections) {
        if (rva < section.virtualAddress) {
            continue;
        }
        const std::uint64_t into = rva - section.virtualAddress;
        if (into < section.length && length <= section.length - into) {
            return section.fileOffset + into;
        }
    }
    return std::nullopt;
}

struct Entry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;
    bool nameIsText() const { return (name & kHighBit) != 0; }
    bool isDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t targetOffset() const { return target & ~kHighBit; }
};

// A resource directory: its entries lie at fileOffset, count of them.
struct Directory {
    std::uint32_t treeOffset = 0;  // from the start of the resource directory
    std::uint64_t fileOffset = 0;
    std::uint32_t count = 0;
};

class ResourceTree {
public:
    ResourceTree(const ByteReader& file, const Headers& headers) : file_(file), headers_(headers) {}

    // The directory at treeOffset, when its header and all its entries are
    // inside one section of the file. The entry count is at most 2 x 65535 and
    // every entry must be in the file, which bounds the work per directory.
    std::optional<Directory> directory(std::uint32_t treeOffset) const {
        const std::uint64_t rva = std::uint64_t{headers_.resourceRva} + treeOffset;
        const auto header = mapRange(headers_, rva, kDirectoryHeaderSize);
        if (!header) {
            return std::nullopt;
        }
        const std::uint32_t count =
            std::uint32_t{*file_.u16(*header + 12)} + *file_.u16(*header + 14);
        const auto entries = mapRange(headers_, rva + kDirectoryHeaderSize,
                                      std::uint64_t{count} * kDirectoryEntrySize);
        if (!entries) {
            return std::nullopt;
        }
        return Directory{treeOffset, *entries, count};
    }

    Entry entry(const Directory& directory, std::uint32_t index) const {
        const std::uint64_t at = directory.fileOffset + std::uint64_t{index} * kDirectoryEntrySize;
        return Entry{*file_.u32(at), *file_.u32(at + 4)};
    }

    // The bytes a data entry points at (an address in the image, not an
    // offset in the tree); nothing when empty or outside the file.
    std::optional<PeIconImage> resourceData(std::uint32_t dataEntryOffset) const {
        const std::uint64_t rva = std::uint64_t{headers_.resourceRva} + dataEntryOffset;
        const auto entry = mapRange(headers_, rva, kDataEntrySize);
        if (!entry) {
            return std::nullopt;
        }
        const std::uint32_t dataRva = *file_.u32(*entry);
        const std::uint32_t size = *file_.u32(*entry + 4);
        const auto data = mapRange(headers_, dataRva, size);
        if (size == 0 || !data) {
            return std::nullopt;
        }
        return PeIconImage{0, static_cast<std::size_t>(*data), size};
    }

private:
    const ByteReader& file_;
    const Headers& headers_;
};

// A resource of one type as the tree holds it: its name (a number, or the
// offset of its text) and its bytes.
struct FoundResource {
    bool nameIsText = false;
    std::uint32_t name = 0;
    PeIconImage data;
};

// The tree has exactly three levels: type, name, language. Only these three
// are ever visited, which bounds the depth; a subdirectory that points back at
// one of the directories above it is a loop and is not followed.
std::vector<FoundResource> collectResources(const ByteReader& file, const Headers& headers,
                                            std::uint32_t wantedType) {
    std::vector<FoundResource> found;
    const ResourceTree tree(file, headers);
    const auto root = tree.directory(0);
    if (!root) {
        return found;
    }
    std::optional<Directory> names;
    for (std::uint32_t i = 0; i < root->count && !names; ++i) {
        const Entry type = tree.entry(*root, i);
        if (!type.nameIsText() && type.name == wantedType && type.isDirectory() &&
            type.targetOffset() != root->treeOffset) {
            names = tree.directory(type.targetOffset());
        }
    }
    if (!names) {
        return found;
    }
    for (std::uint32_t i = 0; i < names->count; ++i) {
        const Entry name = tree.entry(*names, i);
        if (!name.isDirectory()) {
            continue;
        }
        const std::uint32_t languagesAt = name.targetOffset();
        if (languagesAt == root->treeOffset || languagesAt == names->treeOffset) {
            continue;
        }
        const auto languages = tree.directory(languagesAt);
        if (!languages || languages->count == 0) {
            continue;
        }
        const Entry language = tree.entry(*languages, 0);
        if (language.isDirectory()) {
            continue;  // a fourth level does not exist; whatever this is, it is damaged
        }
        if (auto data = tree.resourceData(language.targetOffset())) {
            found.push_back({name.nameIsText(), name.name & ~kHighBit, *data});
        }
    }
    return found;
}

std::vector<PeIconImage> collectIcons(const ByteReader& file, const Headers& headers) {
    std::vector<PeIconImage> icons;
    for (const FoundResource& resource : collectResources(file, headers, kIconType)) {
        // Text names are not used; a number is 16 bits wide.
        if (!resource.nameIsText && resource.name <= 0xFFFF) {
            icons.push_back(resource.data);
            icons.back().number = static_cast<std::uint16_t>(resource.name);
        }
    }
    // Directories are sorted by number, but a damaged one need not be.
    std::stable_sort(icons.begin(), icons.end(), [](const PeIconImage& a, const PeIconImage& b) {
        return a.number < b.number;
    });
    const auto duplicates = std::unique(
        icons.begin(), icons.end(),
        [](const PeIconImage& a, const PeIconImage& b) { return a.number == b.number; });
    icons.erase(duplicates, icons.end());
    return icons;
}

}  // namespace

std::optional<std::vector<PeIconImage>> FindIconImages(std::span<const std::uint8_t> file) {
    const ByteReader bytes(file);
    const auto headers = readHeaders(bytes);
    if (!headers) {
        return std::nullopt;
    }
    if (headers->resourceRva == 0) {
        return std::vector<PeIconImage>{};
    }
    return collectIcons(bytes, *headers);
}

std::vector<std::vector<std::uint16_t>> FindIconGroups(std::span<const std::uint8_t> file) {
    std::vector<std::vector<std::uint16_t>> groups;
    const ByteReader bytes(file);
    const auto headers = readHeaders(bytes);
    if (!headers || headers->resourceRva == 0) {
        return groups;
    }
    for (const FoundResource& group : collectResources(bytes, *headers, kIconGroupType)) {
        groups.push_back(
            ReadIconGroupMembers(file.subspan(group.data.fileOffset, group.data.size)));
    }
    return groups;
}

}  // namespace hushgate
