#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace hushgate {

// Reads the icon images of a Portable Executable file (an .exe or .dll, PE32
// or PE32+) straight from its resource directory, with the standard library
// alone, so the toolbar icons come from resources.dll on every platform. The
// file's code is never looked at.
//
// The reader trusts nothing in the file: every offset, size and count is
// checked against the file before it is used, so a damaged or hostile file
// can give "not a library" or fewer icons, never a read outside it.

// One icon image (resource type 3) whose name is a number.
struct PeIconImage {
    std::uint16_t number = 0;    // the resource's name
    std::size_t fileOffset = 0;  // where its bytes start in the file
    std::uint32_t size = 0;      // its size in bytes, never 0
};

// The numbered icon images of a PE file in memory, in ascending number order,
// or nothing when the bytes are not a PE file (no "MZ" or "PE" signature,
// headers or section table cut short or out of the file, too many sections,
// a section's stored data running past the end of the file).
//
// A PE file whose resource directory is missing or unreadable has no icons.
// Icon images named by text are passed over. Of the languages a numbered icon
// is stored in, the first entry of its language directory is taken (the
// lowest language id, as the directory is sorted); when that entry is damaged
// the icon is passed over, as is an icon whose data is empty or lies outside
// the file. When a number occurs twice, the first occurrence counts.
std::optional<std::vector<PeIconImage>> FindIconImages(std::span<const std::uint8_t> file);

// The icon groups (resource type 14, named by number or text) of a PE file
// in memory, in the order its directory keeps them: for each, the numbers of
// the icon images it lists (ReadIconGroupMembers). Nothing for a file that is
// not a PE file or has no icon groups; a group whose data is damaged lists
// no images.
std::vector<std::vector<std::uint16_t>> FindIconGroups(std::span<const std::uint8_t> file);

// Files larger than this are not taken for an icon library: a real one is a
// few kilobytes, and callers read the whole file into memory.
inline constexpr std::uint64_t kMaxLibraryFileSize = 256u * 1024u * 1024u;

}  // namespace hushgate
