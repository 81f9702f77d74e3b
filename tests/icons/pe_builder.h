#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "icon_file_builder.h"

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

// A PE file with one section holding a resource directory tree, and where
// that section is, so that tests can move or cut it.
struct BuiltPe {
    std::vector<std::uint8_t> bytes;
    std::size_t sectionHeader = 0;  // the section's 40-byte header
    std::size_t sectionData = 0;    // where the tree starts in the file
};

// Lays out the tree in the order of `resources`: types in order of first
// appearance, names within a type likewise, languages as given. Nothing is
// sorted, so a test can store numbers out of order. Text names and types come
// first in their directory, as the format wants.
BuiltPe BuildPe(const std::vector<TestResource>& resources, bool pe32Plus = true);

}  // namespace hushgate::test
