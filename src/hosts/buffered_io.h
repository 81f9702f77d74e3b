#pragma once

// The loops the platforms' file code shares: writing the pieces of new
// contents in large writes, and reading a file whole. Not for front ends.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "hosts_error.h"
#include "hosts_file.h"

namespace hushgate::detail {

inline constexpr std::size_t kWriteBufferSize = 1 << 20;

// Gathers the pieces of `contents` into writes of up to kWriteBufferSize
// bytes; a piece at least that large goes out on its own. `write(data,
// size)` returns 0 or the system's error code, and so does this.
template <class Write>
auto WriteBuffered(const LinesToWrite& contents, Write write) {
    using Error = decltype(write(static_cast<const char*>(nullptr), std::size_t{0}));
    std::unique_ptr<char[]> buffer(new char[kWriteBufferSize]);
    std::size_t used = 0;
    auto flush = [&]() { return write(buffer.get(), std::exchange(used, 0)); };
    auto put = [&](std::string_view piece) -> Error {
        if (piece.empty()) {
            return 0;
        }
        if (piece.size() > kWriteBufferSize - used) {
            if (Error err = flush()) {
                return err;
            }
            if (piece.size() >= kWriteBufferSize) {
                return write(piece.data(), piece.size());
            }
        }
        std::memcpy(buffer.get() + used, piece.data(), piece.size());
        used += piece.size();
        return 0;
    };
    // Error codes of every platform fit an int; forEachPiece passes them through.
    if (int err = contents.forEachPiece(
            [&](std::string_view piece) { return static_cast<int>(put(piece)); })) {
        return static_cast<Error>(err);
    }
    return flush();
}

// Reads from offset 0 to the end, which may lie beyond `sizeHint`, the size
// the file had when we looked. `read(at, data, room)` returns the number of
// bytes read, 0 at the end, and throws HostsError itself on failure.
template <class Read>
ByteBuffer ReadToEnd(std::uint64_t sizeHint, const std::string& shownPath,
                     HostsError::Action action, Read read) {
    ByteBuffer bytes;
    std::size_t used = 0;
    try {
        bytes.resize(static_cast<std::size_t>(sizeHint) + 1);
        for (;;) {
            if (used == bytes.size()) {
                bytes.resize(bytes.size() * 2);
            }
            const std::size_t n = read(used, bytes.data() + used, bytes.size() - used);
            if (n == 0) {
                break;
            }
            used += n;
        }
    } catch (const std::bad_alloc&) {
        throw HostsError::OutOfMemory(action, shownPath, std::max<std::uint64_t>(used, sizeHint));
    }
    bytes.resize(used);
    return bytes;
}

}  // namespace hushgate::detail
