#include "pe_builder.h"

#include <algorithm>

namespace hushgate::test {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;  // a text name / a subdirectory
constexpr std::size_t kHeadersSize = 0x200;      // also the file alignment
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kPeHeader = 0x40;

std::size_t alignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.at(offset + static_cast<std::size_t>(i)) =
            static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// The node of `nodes` named `name`, added at the end when there is none.
template <typename Node>
Node& node(std::vector<Node>& nodes, const ResName& name) {
    for (Node& n : nodes) {
        if (n.name.isText == name.isText && n.name.id == name.id && n.name.text == name.text) {
            return n;
        }
    }
    return nodes.emplace_back(Node{name, {}});
}

// Text names first, as the format wants, otherwise in the order given.
template <typename Node>
std::size_t textFirst(std::vector<Node>& nodes) {
    const auto numbered = std::stable_partition(nodes.begin(), nodes.end(),
                                                [](const Node& n) { return n.name.isText; });
    return static_cast<std::size_t>(numbered - nodes.begin());
}

}  // namespace

BuiltPe BuildPe(const std::vector<TestResource>& resources, bool pe32Plus) {
    struct Name {
        ResName name;
        std::vector<const TestResource*> languages;
    };
    struct Type {
        ResName name;
        std::vector<Name> names;
    };
    std::vector<Type> types;
    for (const TestResource& resource : resources) {
        node(node(types, resource.type).names, resource.name).languages.push_back(&resource);
    }

    // The tree: the root, the type directories, the language directories,
    // the data entries, the text names, then the data.
    std::vector<std::uint8_t> tree;
    const auto grow = [&tree](std::size_t size) {
        tree.resize(tree.size() + size);
        return tree.size() - size;
    };
    const auto directory = [&](std::size_t named, std::size_t count) {
        const std::size_t at = grow(16 + 8 * count);
        put(tree, at + 12, named, 2);
        put(tree, at + 14, count - named, 2);
        return at;
    };
    std::vector<std::pair<std::size_t, const ResName*>> texts;  // name fields, filled last
    const auto entry = [&](std::size_t dir, std::size_t index, const ResName& name,
                           std::size_t target) {
        const std::size_t field = dir + 16 + 8 * index;
        if (name.isText) {
            texts.emplace_back(field, &name);
        } else {
            put(tree, field, name.id, 4);
        }
        put(tree, field + 4, target, 4);
        return field;
    };
    const std::size_t root = directory(textFirst(types), types.size());
    std::vector<std::size_t> typeDirs;
    for (std::size_t t = 0; t < types.size(); ++t) {
        typeDirs.push_back(directory(textFirst(types[t].names), types[t].names.size()));
        entry(root, t, types[t].name, kHighBit | typeDirs[t]);
    }
    std::vector<std::pair<std::size_t, const TestResource*>> languages;  // entry fields
    for (std::size_t t = 0; t < types.size(); ++t) {
        for (std::size_t n = 0; n < types[t].names.size(); ++n) {
            const Name& name = types[t].names[n];
            const std::size_t dir = directory(0, name.languages.size());
            entry(typeDirs[t], n, name.name, kHighBit | dir);
            for (std::size_t l = 0; l < name.languages.size(); ++l) {
                const TestResource* resource = name.languages[l];
                languages.emplace_back(entry(dir, l, ResName::Id(resource->language), 0), resource);
            }
        }
    }
    std::vector<std::pair<std::size_t, const TestResource*>> dataEntries;
    for (const auto& [field, resource] : languages) {
        dataEntries.emplace_back(grow(16), resource);
        put(tree, field + 4, dataEntries.back().first, 4);
    }
    for (const auto& [field, name] : texts) {
        const std::size_t at = grow(2 + 2 * name->text.size());
        put(tree, field, kHighBit | at, 4);
        put(tree, at, name->text.size(), 2);
        for (std::size_t i = 0; i < name->text.size(); ++i) {
            put(tree, at + 2 + 2 * i, name->text[i], 2);
        }
    }
    for (const auto& [at, resource] : dataEntries) {
        grow(alignUp(tree.size(), 8) - tree.size());
        const std::size_t data = grow(resource->data.size());
        std::copy(resource->data.begin(), resource->data.end(),
                  tree.begin() + std::ptrdiff_t(data));
        put(tree, at, kSectionRva + data, 4);
        put(tree, at + 4, resource->data.size(), 4);
    }
    const std::size_t size = tree.size();

    BuiltPe pe;
    pe.sectionData = kHeadersSize;
    const std::size_t rawSize = alignUp(std::max<std::size_t>(size, 1), kHeadersSize);
    pe.bytes.assign(kHeadersSize + rawSize, 0);
    std::vector<std::uint8_t>& b = pe.bytes;

    // Headers: DOS stub header, "PE\0\0", file header, optional header.
    b[0] = 'M';
    b[1] = 'Z';
    put(b, 0x3C, kPeHeader, 4);
    put(b, kPeHeader, 0x00004550, 4);
    const std::size_t fileHeader = kPeHeader + 4;
    const std::size_t optionalSize = pe32Plus ? 240 : 224;
    put(b, fileHeader, pe32Plus ? 0x8664 : 0x14C, 2);
    put(b, fileHeader + 2, 1, 2);  // one section
    put(b, fileHeader + 16, optionalSize, 2);
    put(b, fileHeader + 18, pe32Plus ? 0x2022 : 0x2102, 2);  // executable DLL
    const std::size_t optional = fileHeader + 20;
    put(b, optional, pe32Plus ? 0x20B : 0x10B, 2);
    put(b, optional + 32, 0x1000, 4);  // section alignment
    put(b, optional + 36, kHeadersSize, 4);
    put(b, optional + 56, kSectionRva + alignUp(size, 0x1000), 4);  // size of image
    put(b, optional + 60, kHeadersSize, 4);
    put(b, optional + 68, 2, 2);  // subsystem
    const std::size_t directories = optional + (pe32Plus ? 112 : 96);
    put(b, directories - 4, 16, 4);
    put(b, directories + 8 * 2, kSectionRva, 4);  // the resource directory
    put(b, directories + 8 * 2 + 4, size, 4);

    pe.sectionHeader = optional + optionalSize;
    std::copy_n(".rsrc", 5, b.begin() + static_cast<std::ptrdiff_t>(pe.sectionHeader));
    put(b, pe.sectionHeader + 8, size, 4);
    put(b, pe.sectionHeader + 12, kSectionRva, 4);
    put(b, pe.sectionHeader + 16, rawSize, 4);
    put(b, pe.sectionHeader + 20, kHeadersSize, 4);
    put(b, pe.sectionHeader + 36, 0x40000040, 4);  // initialised data, readable

    std::copy(tree.begin(), tree.end(), b.begin() + std::ptrdiff_t(kHeadersSize));
    return pe;
}

}  // namespace hushgate::test
