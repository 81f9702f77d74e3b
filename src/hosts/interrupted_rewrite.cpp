// Whether a file is what an interrupted rewrite in place can leave, told by
// reading the file, the original and the result a piece at a time: all of
// them may be far larger than what we hold in memory.

#include <algorithm>
#include <cstring>
#include <memory>

#include "hosts_recovery.h"

namespace hushgate::detail {

namespace {

// Files are compared and measured through buffers of this size.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// The size of the pieces a compare reads.
struct Pieces {
    std::size_t size;
    std::unique_ptr<char[]> make() const { return std::unique_ptr<char[]>(new char[size]); }
    std::size_t roomFor(std::uint64_t left) const {
        return static_cast<std::size_t>(std::min<std::uint64_t>(size, left));
    }
};

// The first place from `begin` on where `a` and `b` differ; `end` when none.
std::size_t firstDifference(const char* a, const char* b, std::size_t begin, std::size_t end) {
    return static_cast<std::size_t>(std::mismatch(a + begin, a + end, b + begin).first - a);
}

// Where the bytes of `a` and `b` first differ, `limit` when they do not before it.
std::uint64_t commonPrefix(const ReadAt& a, const ReadAt& b, std::uint64_t limit, Pieces pieces) {
    const auto pieceA = pieces.make(), pieceB = pieces.make();
    std::uint64_t at = 0;
    while (at < limit) {
        const std::size_t room = pieces.roomFor(limit - at);
        const std::size_t n =
            std::min(ReadFull(a, at, pieceA.get(), room), ReadFull(b, at, pieceB.get(), room));
        const std::size_t same = firstDifference(pieceA.get(), pieceB.get(), 0, n);
        at += same;
        if (same < room) {
            break;
        }
    }
    return at;
}

// Where the run at the end of the bytes of `a` and `b` between `floor` and
// `size` starts in which each pair of bytes is `alike`: read backwards, a
// piece at a time.
template <class Alike>
std::uint64_t runAtEnd(const ReadAt& a, const ReadAt& b, std::uint64_t size, std::uint64_t floor,
                       Pieces pieces, Alike alike) {
    const auto pieceA = pieces.make(), pieceB = pieces.make();
    while (size > floor) {
        const std::size_t room = pieces.roomFor(size - floor);
        if (ReadFull(a, size - room, pieceA.get(), room) != room ||
            ReadFull(b, size - room, pieceB.get(), room) != room) {
            break;  // ended early: shorter than it was, so no longer alike
        }
        std::size_t run = 0;
        while (run < room && alike(pieceA[room - 1 - run], pieceB[room - 1 - run])) {
            ++run;
        }
        size -= run;
        if (run < room) {
            break;
        }
    }
    return size;
}

// Walks the result as it is made, comparing it with the file as it is: where
// they first differ, and where they first differ at or after `from`.
class ResultWalk : public PieceSink {
public:
    ResultWalk(const ReadAt& now, std::uint64_t nowSize, std::uint64_t from, Pieces pieces)
        : now_(now), nowSize_(nowSize), from_(from), pieces_(pieces), piece_(pieces.make()) {}

    int put(std::string_view piece) override {
        std::uint64_t at = size_;
        size_ += piece.size();
        while (!piece.empty() && at < nowSize_ && !(startDiffers_ && laterDiffers_)) {
            // Empty when the file ends before its size: it differs from there.
            const std::string_view have = nowAt(at);
            const std::size_t n = have.empty() ? piece.size() : std::min(have.size(), piece.size());
            const auto differs = [&](std::size_t begin) {
                return have.empty() ? begin : firstDifference(have.data(), piece.data(), begin, n);
            };
            if (const std::size_t first = differs(0); !startDiffers_ && first < n) {
                startDiffers_ = true;
                sameFromStart_ = at + first;
            }
            const std::size_t later =
                at < from_ ? static_cast<std::size_t>(std::min<std::uint64_t>(from_ - at, n)) : 0;
            if (const std::size_t next = differs(later); !laterDiffers_ && next < n) {
                laterDiffers_ = true;
                sameFromLater_ = at + next;
            }
            piece.remove_prefix(n);
            at += n;
        }
        return 0;
    }

    std::uint64_t size() const { return size_; }
    // The compares ran to the end of the shorter one where no byte differed.
    std::uint64_t sameFromStart() const {
        return startDiffers_ ? sameFromStart_ : std::min(nowSize_, size_);
    }
    std::uint64_t sameFromLater() const {
        return laterDiffers_ ? sameFromLater_ : std::max(from_, std::min(nowSize_, size_));
    }

private:
    // The file's bytes from `at` to the end of the piece of it held.
    std::string_view nowAt(std::uint64_t at) {
        if (at < held_ || at >= held_ + heldSize_) {
            held_ = at;
            heldSize_ = ReadFull(now_, at, piece_.get(), pieces_.roomFor(nowSize_ - at));
        }
        return {piece_.get() + (at - held_), static_cast<std::size_t>(held_ + heldSize_ - at)};
    }

    const ReadAt& now_;
    std::uint64_t nowSize_;
    std::uint64_t from_;
    Pieces pieces_;
    std::unique_ptr<char[]> piece_;
    std::uint64_t held_ = 0;
    std::size_t heldSize_ = 0;
    std::uint64_t size_ = 0;
    bool startDiffers_ = false, laterDiffers_ = false;
    std::uint64_t sameFromStart_ = 0, sameFromLater_ = 0;
};

bool fitsInPieces(const ReadAt& now, std::uint64_t nowSize, const ReadAt& original,
                  std::uint64_t originalSize, const NewContents& result, Pieces pieces) {
    // An undo wrote back the original up to `undone`; the write had put
    // the result from there up to `written`, and the original follows.
    const std::uint64_t undone =
        commonPrefix(now, original, std::min(nowSize, originalSize), pieces);
    ResultWalk walk(now, nowSize, undone, pieces);
    result.produce(original, walk);
    const std::uint64_t resultSize = walk.size();
    // Of the file's first `size` bytes, as the whole file.
    const auto same = [&](std::uint64_t size) {
        return (size == originalSize && undone >= size) ||
               (size == resultSize && walk.sameFromStart() >= size);
    };
    const auto mixed = [&](std::uint64_t size) {
        const std::uint64_t written = std::min(walk.sameFromLater(), size);
        if (size == originalSize) {
            // The original again from some point at or before `written` on.
            return runAtEnd(now, original, size, 0, pieces, std::equal_to<>()) <= written;
        }
        // Longer than the original: the result was written past its end.
        return size > originalSize && written == size && size <= resultSize;
    };
    if (same(nowSize)) {
        return true;
    }
    // The file is made as long as the result before it is written: what is
    // not written yet past the original's end reads as zero bytes.
    if (nowSize == resultSize && nowSize > originalSize) {
        const std::uint64_t written = runAtEnd(now, now, nowSize, originalSize, pieces,
                                               [](char c, char) { return c == '\0'; });
        if (written < nowSize) {
            return same(written) || mixed(written);
        }
    }
    return mixed(nowSize);
}

}  // namespace

Measured MeasureOf(const ReadAt& read) {
    const auto piece = Pieces{kPieceSize}.make();
    Digest digest;
    std::uint64_t at = 0;
    while (const std::size_t n = read(at, piece.get(), kPieceSize)) {
        digest.update(std::string_view(piece.get(), n));
        at += n;
    }
    return {at, digest.value()};
}

std::optional<Measured> MeasureOf(const NewContents& contents, const ReadAt& original) {
    struct Measure : PieceSink {
        Digest digest;
        std::uint64_t size = 0;
        int put(std::string_view piece) override {
            digest.update(piece);
            size += piece.size();
            return 0;
        }
    } made;
    if (contents.produce(original, made) == NewContents::kLeaveAsIs) {
        return std::nullopt;
    }
    return Measured{made.size, made.digest.value()};
}

bool FitsInterruptedRewrite(const ReadAt& now, std::uint64_t nowSize, const ReadAt& original,
                            std::uint64_t originalSize, const NewContents& result) {
    return fitsInPieces(now, nowSize, original, originalSize, result, Pieces{kPieceSize});
}

// Bytes in memory are read in pieces of three bytes and the result made in
// pieces of two: short strings cross every kind of piece boundary a large
// file does.
bool FitsInterruptedRewrite(std::string_view now, std::string_view original,
                            std::string_view result) {
    const NewContents inPieces{[result](const ReadAt&, PieceSink& out) {
        for (std::size_t at = 0; at < result.size(); at += 2) {
            if (const int err = out.put(result.substr(at, 2))) {
                return err;
            }
        }
        return 0;
    }};
    return fitsInPieces(MemoryReader(now), now.size(), MemoryReader(original), original.size(),
                        inPieces, Pieces{3});
}

}  // namespace hushgate::detail
