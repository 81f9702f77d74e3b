#include "hosts_lines.h"

#include <cstring>
#include <memory>
#include <string>

namespace hushgate {

namespace {

// An unfinished line at the end of the buffer is carried over to the next
// fill only while it could still turn out to be empty or a block entry (a
// CR may follow the text); a longer one is passed on as it is read.
constexpr std::size_t kLongestCarried = kLongestBlockEntry + 1;

// Reads the whole original once. `keep(text)` decides, for every line that
// could be empty or a block entry, whether it stays; longer lines stay. With
// `out`, what stays is given to it in runs as long as the buffer allows.
template <class Keep>
int passLines(const ReadAt& read, Keep keep, PieceSink* out, std::string_view terminator) {
    const std::unique_ptr<char[]> buffer(new char[kLineBufferSize]);
    char* const begin = buffer.get();
    std::size_t carried = 0;  // an unfinished short line, moved to the buffer's start
    bool inLongLine = false;  // the buffer starts inside a line that stays
    int err = 0;
    const auto give = [&](const char* from, const char* to) {
        if (err == 0 && out != nullptr && to > from) {
            err = out->put(std::string_view(from, static_cast<std::size_t>(to - from)));
        }
    };
    for (std::uint64_t at = 0;;) {
        const std::size_t n = read(at, begin + carried, kLineBufferSize - carried);
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
        while (const void* found = std::memchr(line, '\n', static_cast<std::size_t>(end - line))) {
            const char* lf = static_cast<const char*>(found);
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
        std::memmove(begin, end - carried, carried);
    }
}

std::string joined(std::string_view terminator) {
    std::string text;
    for (std::string_view entry : BlockEntries()) {
        (text += entry) += terminator;
    }
    return text;
}

// The entries as one piece, made once for each of the usual line ends.
std::string_view joinedOnce(std::string_view terminator) {
    static const std::string lf = joined("\n"), crLf = joined("\r\n");
    return terminator == "\n" ? lf : terminator == "\r\n" ? crLf : std::string_view();
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
    const std::string other = joinedOnce(terminator).empty() ? joined(terminator) : "";
    err = out.put(other.empty() ? joinedOnce(terminator) : other);
    return err != 0 ? err : out.release();
}

bool EndsWithBlockEntries(const ReadAt& original, std::uint64_t size) {
    for (std::string_view terminator : {"\n", "\r\n"}) {
        const std::string_view entries = joinedOnce(terminator);
        if (size < entries.size()) {
            continue;
        }
        // With the byte before them, which must end a line.
        const std::uint64_t from = size - entries.size() - (size > entries.size() ? 1 : 0);
        std::string end(static_cast<std::size_t>(size - from), '\0');
        std::size_t used = 0;
        for (std::size_t n = 1; used < end.size() && n > 0; used += n) {
            n = original(from + used, end.data() + used, end.size() - used);
        }
        if (used == end.size() && end.ends_with(entries) &&
            (end.size() == entries.size() || end.front() == '\n')) {
            return true;
        }
    }
    return false;
}

}  // namespace hushgate
