#include "pe_builder.h"

#include <algorithm>
#include <stdexcept>

namespace hushgate::test {

namespace {

constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::size_t kHeadersSize = 0x200;  // also the file alignment
constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kPeHeader = 0x40;

bool sameName(const ResName& a, const ResName& b) {
    return a.isText == b.isText && (a.isText ? a.text == b.text : a.id == b.id);
}

struct NameNode {
    ResName name;
    std::vector<const TestResource*> languages;
};
struct TypeNode {
    ResName type;
    std::vector<NameNode> names;
};

template <typename Node, typename Key>
Node& findOrAdd(std::vector<Node>& nodes, const ResName& name, Key key) {
    for (Node& node : nodes) {
        if (sameName(node.*key, name)) {
            return node;
        }
    }
    nodes.push_back(Node{});
    nodes.back().*key = name;
    return nodes.back();
}

// Text entries first, otherwise in the order given.
template <typename Node, typename Key>
void textFirst(std::vector<Node>& nodes, Key key) {
    std::stable_partition(nodes.begin(), nodes.end(),
                          [key](const Node& node) { return (node.*key).isText; });
}

std::size_t alignUp(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.at(offset + static_cast<std::size_t>(i)) =
            static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

std::uint32_t BuiltPe::read32(std::size_t offset) const {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | bytes.at(offset + static_cast<std::size_t>(i));
    }
    return value;
}

void BuiltPe::write32(std::size_t offset, std::uint32_t value) {
    put(bytes, offset, value, 4);
}

void BuiltPe::write16(std::size_t offset, std::uint16_t value) {
    put(bytes, offset, value, 2);
}

std::uint32_t BuiltPe::entryTarget(std::uint32_t directory, std::uint32_t index) const {
    return read32(at(directory) + 16 + 8 * index + 4) & ~kHighBit;
}

BuiltPe BuildPe(const std::vector<TestResource>& resources, bool pe32Plus) {
    std::vector<TypeNode> types;
    for (const TestResource& resource : resources) {
        TypeNode& type = findOrAdd(types, resource.type, &TypeNode::type);
        findOrAdd(type.names, resource.name, &NameNode::name).languages.push_back(&resource);
    }
    textFirst(types, &TypeNode::type);
    for (TypeNode& type : types) {
        textFirst(type.names, &NameNode::name);
    }

    // Offsets in the tree: directories, data entries, strings, then the data.
    std::size_t size = 16 + 8 * types.size();
    std::vector<std::size_t> typeDirs, languageDirs, dataEntries, strings, data;
    for (const TypeNode& type : types) {
        typeDirs.push_back(size);
        size += 16 + 8 * type.names.size();
    }
    for (const TypeNode& type : types) {
        for (const NameNode& name : type.names) {
            languageDirs.push_back(size);
            size += 16 + 8 * name.languages.size();
        }
    }
    for (const TypeNode& type : types) {
        for (const NameNode& name : type.names) {
            for (std::size_t i = 0; i < name.languages.size(); ++i) {
                dataEntries.push_back(size);
                size += 16;
            }
        }
    }
    auto addString = [&](const ResName& name) {
        strings.push_back(size);
        size += 2 + 2 * name.text.size();
    };
    for (const TypeNode& type : types) {
        if (type.type.isText) {
            addString(type.type);
        }
        for (const NameNode& name : type.names) {
            if (name.name.isText) {
                addString(name.name);
            }
        }
    }
    for (const TypeNode& type : types) {
        for (const NameNode& name : type.names) {
            for (const TestResource* resource : name.languages) {
                size = alignUp(size, 8);
                data.push_back(size);
                size += resource->data.size();
            }
        }
    }

    BuiltPe pe;
    pe.sectionData = kHeadersSize;
    pe.sectionRva = kSectionRva;
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
    pe.sectionCountField = fileHeader + 2;
    put(b, pe.sectionCountField, 1, 2);
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
    pe.resourceDirectoryField = directories + 8 * 2;
    put(b, pe.resourceDirectoryField, kSectionRva, 4);
    put(b, pe.resourceDirectoryField + 4, size, 4);

    pe.sectionHeader = optional + optionalSize;
    std::copy_n(".rsrc", 5, b.begin() + static_cast<std::ptrdiff_t>(pe.sectionHeader));
    put(b, pe.sectionHeader + 8, size, 4);
    put(b, pe.sectionHeader + 12, kSectionRva, 4);
    put(b, pe.sectionHeader + 16, rawSize, 4);
    put(b, pe.sectionHeader + 20, kHeadersSize, 4);
    put(b, pe.sectionHeader + 36, 0x40000040, 4);  // initialised data, readable

    // The tree.
    auto directory = [&](std::size_t at, std::size_t named, std::size_t numbered) {
        put(b, pe.at(static_cast<std::uint32_t>(at)) + 12, named, 2);
        put(b, pe.at(static_cast<std::uint32_t>(at)) + 14, numbered, 2);
    };
    std::size_t nextString = 0, nextLanguageDir = 0, nextData = 0;
    auto entry = [&](std::size_t dir, std::size_t index, const ResName& name,
                     std::uint32_t target) {
        const std::size_t field = pe.at(static_cast<std::uint32_t>(dir + 16 + 8 * index));
        if (name.isText) {
            const std::size_t string = strings.at(nextString++);
            put(b, field, kHighBit | string, 4);
            put(b, pe.at(static_cast<std::uint32_t>(string)), name.text.size(), 2);
            for (std::size_t i = 0; i < name.text.size(); ++i) {
                put(b, pe.at(static_cast<std::uint32_t>(string + 2 + 2 * i)), name.text[i], 2);
            }
        } else {
            put(b, field, name.id, 4);
        }
        put(b, field + 4, target, 4);
    };
    auto countText = [](const auto& nodes, auto key) {
        return static_cast<std::size_t>(std::count_if(
            nodes.begin(), nodes.end(), [key](const auto& node) { return (node.*key).isText; }));
    };
    directory(0, countText(types, &TypeNode::type),
              types.size() - countText(types, &TypeNode::type));
    for (std::size_t t = 0; t < types.size(); ++t) {
        const TypeNode& type = types[t];
        entry(0, t, type.type, kHighBit | static_cast<std::uint32_t>(typeDirs[t]));
        const std::size_t namedCount = countText(type.names, &NameNode::name);
        directory(typeDirs[t], namedCount, type.names.size() - namedCount);
        for (std::size_t n = 0; n < type.names.size(); ++n) {
            const NameNode& name = type.names[n];
            const std::size_t languageDir = languageDirs.at(nextLanguageDir++);
            entry(typeDirs[t], n, name.name, kHighBit | static_cast<std::uint32_t>(languageDir));
            directory(languageDir, 0, name.languages.size());
            for (std::size_t l = 0; l < name.languages.size(); ++l) {
                const std::size_t dataEntry = dataEntries.at(nextData);
                const std::size_t dataAt = data.at(nextData++);
                entry(languageDir, l, ResName::Id(name.languages[l]->language),
                      static_cast<std::uint32_t>(dataEntry));
                pe.dataEntries.push_back(pe.at(static_cast<std::uint32_t>(dataEntry)));
                put(b, pe.at(static_cast<std::uint32_t>(dataEntry)), kSectionRva + dataAt, 4);
                put(b, pe.at(static_cast<std::uint32_t>(dataEntry)) + 4,
                    name.languages[l]->data.size(), 4);
                std::copy(name.languages[l]->data.begin(), name.languages[l]->data.end(),
                          b.begin() + static_cast<std::ptrdiff_t>(
                                          pe.at(static_cast<std::uint32_t>(dataAt))));
            }
        }
    }
    return pe;
}

std::vector<std::uint8_t> DibIcon(int width, int height, std::uint32_t argb) {
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("DibIcon: empty image");
    }
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::size_t maskRow = (w + 31) / 32 * 4;
    std::vector<std::uint8_t> image(40 + w * h * 4 + maskRow * h, 0);
    put(image, 0, 40, 4);
    put(image, 4, w, 4);
    put(image, 8, 2 * h, 4);  // colour rows and mask rows
    put(image, 12, 1, 2);     // planes
    put(image, 14, 32, 2);    // bits per pixel
    for (std::size_t i = 0; i < w * h; ++i) {
        put(image, 40 + 4 * i, argb, 4);  // stored as blue, green, red, alpha
    }
    return image;
}

}  // namespace hushgate::test
