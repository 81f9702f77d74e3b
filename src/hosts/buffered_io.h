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

// Copies the pieces of the contents made from `original` into writes of up
// to kWriteBufferSize bytes; a piece at least that large goes out on its
// own. For systems without a gathering write for ordinary files. `write(data,
// size)` returns 0 or the system's error code, and so does this.
template <class Write>
auto WriteBuffered(const NewContents& contents, const ReadAt& original, Write write) {
    using Error = decltype(write(static_cast<const char*>(nullptr), std::size_t{0}));
    struct Copier : PieceSink {
        explicit Copier(Write& w) : write(w), buffer(new char[kWriteBufferSize]) {}
        Write& write;
        std::unique_ptr<char[]> buffer;
        std::size_t used = 0;
        Error flush() { return write(buffer.get(), std::exchange(used, 0)); }
        // Error codes of every platform fit an int.
        int put(std::string_view piece) override {
            if (piece.size() > kWriteBufferSize - used) {
                if (Error err = flush()) {
                    return static_cast<int>(err);
                }
                if (piece.size() >= kWriteBufferSize) {
                    return static_cast<int>(write(piece.data(), piece.size()));
                }
            }
            std::memcpy(buffer.get() + used, piece.data(), piece.size());
            used += piece.size();
            return 0;
        }
    } copier(write);
    if (int err = contents.produce(original, copier)) {
        return static_cast<Error>(err);
    }
    return copier.flush();
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
