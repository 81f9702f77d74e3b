#pragma once

// One pass over a hosts file's lines through a buffer of fixed size, however
// large the file: what its status needs, or the file rewritten. A line is
// its bytes up to LF, with one CR just before the LF removed, so files with
// LF, CR LF or a mix read alike; a CR anywhere else stays in its line. Lines
// that stay keep their bytes and their own line ends.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "block_list.h"
#include "hosts_file.h"

namespace hushgate {

// The buffer a pass reads through: small enough that what a read copies
// into it is still in the processor's cache when its lines are looked at.
inline constexpr std::size_t kLineBufferSize = std::size_t{1} << 18;
// What a pass starts with, moving on to the full buffer once a fill fills it.
inline constexpr std::size_t kFirstLineBufferSize = std::size_t{1} << 12;

// What a pass found in the file.
struct LinesFound {
    std::array<bool, kBlockEntryCount> found{};  // which block entries stand as lines
    std::size_t entryLines = 0;                  // lines equal to a block entry, copies counted
    std::size_t emptyLines = 0;                  // lines with nothing before their line end
};

LinesFound FindLines(const ReadAt& original);

// True when the original, of `size` bytes, ends with all block entries in
// their order, each ended by LF or each by CR LF, the first at a line's
// start: as our Block leaves a file, which is then blocked whatever else it
// holds. Reads only that end.
bool EndsWithBlockEntries(const ReadAt& original, std::uint64_t size);

enum class LineChange { Block, Unblock };

// The original's lines without the empty ones (to unblock, without the
// block-entry lines too), a last line that had no line end given
// `terminator`; to block, all block entries follow, each ended by
// `terminator`. What the original holds goes to `found` on the way. Returns
// 0 or the first error of `out`. `terminator` is "\n" or "\r\n".
int RewriteLines(const ReadAt& original, LineChange change, std::string_view terminator,
                 PieceSink& out, LinesFound& found);

}  // namespace hushgate
