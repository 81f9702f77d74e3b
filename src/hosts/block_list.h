#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace hushgate {

inline constexpr std::size_t kBlockEntryCount = 68;
inline constexpr std::string_view kLoopbackPrefix = "127.0.0.1 ";
// No entry is longer: a longer line needs no closer look.
inline constexpr std::size_t kLongestBlockEntry = 64;

// The 68 hosts-file lines that send the social network's host names to the
// loopback address, in their fixed order.
const std::array<std::string_view, kBlockEntryCount>& BlockEntries();

// Index (0-based) of the block entry equal to `line`, compared as whole,
// case-sensitive strings; nothing when the line is not a block entry.
// Costs one hash lookup at most, so whole files can be scanned quickly.
std::optional<std::size_t> FindBlockEntry(std::string_view line);

// The block entries in their order, each followed by `terminator`, as one
// text, when `terminator` is "\n" or "\r\n"; empty for any other.
std::string_view JoinedBlockEntries(std::string_view terminator);
// The size of the longer of those texts, the one with CR LF.
inline constexpr std::size_t kLongestJoinedBlockEntries = 2049;

// False for most lines that are no block entry, by length and first byte,
// at less cost than FindBlockEntry: for loops over millions of lines.
inline bool MayBeBlockEntry(std::string_view line) {
    return line.size() > kLoopbackPrefix.size() && line.size() <= kLongestBlockEntry &&
           line[0] == kLoopbackPrefix[0];
}

}  // namespace hushgate
