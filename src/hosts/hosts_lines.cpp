#include "hosts_lines.h"

#include <algorithm>
#include <cstring>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace hushgate {

namespace {

// An unfinished line at the end of the buffer is carried over to the next
// fill only while it could still turn out to be empty or a block entry (a
// CR may follow the text); a longer one is passed on as it is read.
constexpr std::size_t kLongestCarried = kLongestBlockEntry + 1;

// The line feeds of a buffer, in order. With SSE2 they are found 64 bytes
// at a time: one call of memchr for each of millions of short lines costs
// more than the search itself.
class LineFeeds {
public:
    LineFeeds(const char* begin, const char* end) : block_(begin), end_(end) { load(); }

    // The next line feed, or null after the last.
    const char* next() {
#ifdef __SSE2__
        while (mask_ == 0) {
            block_ += 64;
            if (block_ >= end_) {
                return nullptr;
            }
            load();
        }
        const char* lf = block_ + __builtin_ctzll(mask_);
        mask_ &= mask_ - 1;
        return lf;
#else
        const void* lf = std::memchr(block_, '\n', static_cast<std::size_t>(end_ - block_));
        block_ = lf != nullptr ? static_cast<const char*>(lf) + 1 : end_;
        return static_cast<const char*>(lf);
#endif
    }

private:
    void load() {
#ifdef __SSE2__
        mask_ = 0;
        if (end_ - block_ >= 64) {
            const __m128i lf = _mm_set1_epi8('\n');
            for (int i = 0; i < 4; ++i) {
                const __m128i bytes =
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(block_ + 16 * i));
                mask_ |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(
                             _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf))))
                         << (16 * i);
            }
        } else {
            for (const char* p = block_; p < end_; ++p) {
                mask_ |= static_cast<std::uint64_t>(*p == '\n') << (p - block_);
            }
        }
#endif
    }

    const char* block_;
    const char* end_;
    std::uint64_t mask_ = 0;
};

// Reads the whole original once. `keep(text)` decides, for every line that
// could be empty or a block entry, whether it stays; longer lines stay. With
// `out`, what stays is given to it in runs as long as the buffer allows.
template <class Keep>
int passLines(const ReadAt& read, Keep keep, PieceSink* out, std::string_view terminator) {
    // Small to begin with: most hosts files fit, and a short-lived program
    // pays for every page of memory it touches. The first fill that fills
    // it moves on to the full buffer.
    std::size_t size = kFirstLineBufferSize;
    std::unique_ptr<char[]> buffer(new char[size]);
    char* begin = buffer.get();
    std::size_t carried = 0;  // an unfinished short line, moved to the buffer's start
    bool inLongLine = false;  // the buffer starts inside a line that stays
    int err = 0;
    const auto give = [&](const char* from, const char* to) {
        if (err == 0 && out != nullptr && to > from) {
            err = out->put(std::string_view(from, static_cast<std::size_t>(to - from)));
        }
    };
    for (std::uint64_t at = 0;;) {
        const std::size_t n = read(at, begin + carried, size - carried);
        const bool filled = carried + n == size;
        at += n;
        const char* const end = begin + carried + n;
        if (n == 0) {
            // A last line without a line end gets ours.
            const std::string_view last(begin, carried);
            if (inLongLine || (carried > 0 && keep(last))) {
                give(begin, end);
                give(terminator.data(), terminator.data() + terminator.size());
            }
            return err != 0 || out == nullptr ? err : out->release();
        }
        const char* line = begin;
        const char* run = begin;  // what stays from here on is not given yet
        LineFeeds feeds(begin, end);
        while (const char* lf = feeds.next()) {
            if (inLongLine) {
                inLongLine = false;
            } else {
                const char* textEnd = lf > line && lf[-1] == '\r' ? lf - 1 : lf;
                if (!keep(std::string_view(line, static_cast<std::size_t>(textEnd - line)))) {
                    give(run, line);
                    run = lf + 1;
                }
            }
            line = lf + 1;
        }
        if (inLongLine || static_cast<std::size_t>(end - line) > kLongestCarried) {
            inLongLine = true;
            give(run, end);
            carried = 0;
        } else {
            give(run, line);
            carried = static_cast<std::size_t>(end - line);
        }
        // The buffer is about to be refilled.
        if (err != 0 || (out != nullptr && (err = out->release()) != 0)) {
            return err;
        }
        if (filled && size < kLineBufferSize) {
            std::unique_ptr<char[]> larger(new char[kLineBufferSize]);
            std::memcpy(larger.get(), end - carried, carried);
            buffer = std::move(larger);
            begin = buffer.get();
            size = kLineBufferSize;
        } else {
            std::memmove(begin, end - carried, carried);
        }
    }
}

// Notes what `text`, a line, is in `found`; returns whether it stays when
// the file is rewritten by `change`.
bool note(std::string_view text, LineChange change, LinesFound& found) {
    if (text.empty()) {
        ++found.emptyLines;
        return false;
    }
    if (!MayBeBlockEntry(text)) {
        return true;
    }
    const auto index = FindBlockEntry(text);
    if (!index) {
        return true;
    }
    found.found[*index] = true;
    ++found.entryLines;
    return change == LineChange::Block;
}

}  // namespace

LinesFound FindLines(const ReadAt& original) {
    LinesFound found;
    passLines(original,
              [&](std::string_view text) {
                  note(text, LineChange::Block, found);
                  return true;
              },
              nullptr, {});
    return found;
}

int RewriteLines(const ReadAt& original, LineChange change, std::string_view terminator,
                 PieceSink& out, LinesFound& found) {
    found = {};
    int err = passLines(
        original, [&](std::string_view text) { return note(text, change, found); }, &out,
        terminator);
    if (err != 0 || change == LineChange::Unblock) {
        return err;
    }
    err = out.put(JoinedBlockEntries(terminator));
    return err != 0 ? err : out.release();
}

bool EndsWithBlockEntries(const ReadAt& original, std::uint64_t size) {
    if (size < JoinedBlockEntries("\n").size()) {
        return false;  // too short to hold them
    }
    // The end, read once: room for the entries with either line end and the
    // byte before them, which must end a line unless the file is the entries.
    std::array<char, kLongestJoinedBlockEntries + 1> end;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, end.size()));
    if (ReadFull(original, size - want, end.data(), want) < want) {
        return false;
    }
    const std::string_view tail(end.data(), want);
    for (std::string_view terminator : {"\n", "\r\n"}) {
        const std::string_view entries = JoinedBlockEntries(terminator);
        if (tail.ends_with(entries) &&
            (tail.size() == entries.size() || tail[tail.size() - entries.size() - 1] == '\n')) {
            return true;
        }
    }
    return false;
}

}  // namespace hushgate
