#include "hosts_recovery.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <memory>

namespace hushgate::detail {

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;

constexpr std::uint64_t rotl(std::uint64_t x, int r) {
    return (x << r) | (x >> (64 - r));
}

std::uint64_t load64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t word) {
    return rotl(lane + word * kPrime2, 31) * kPrime1;
}

constexpr std::string_view kMarker = ".hushgate-";
constexpr std::string_view kTornMarker = ".hushgate-torn-";
constexpr std::string_view kTrailerStart = "\n# hushgate recovery record: ";
// Our longest addition to a stem is the torn copy's: marker, a time and a
// counter; the rest of 255 bytes is the stem's.
constexpr std::size_t kStemRoom = 255 - 40;

std::string hex16(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool isRandomChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

void Digest::consume(const unsigned char* block) {
    for (int i = 0; i < 4; ++i) {
        lanes_[i] = round(lanes_[i], load64(block + 8 * i));
    }
}

void Digest::update(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    total_ += size;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(size, sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, take);
        pendingSize_ += take;
        p += take;
        size -= take;
        if (pendingSize_ < sizeof pending_) {
            return;
        }
        consume(pending_);
        pendingSize_ = 0;
    }
    for (; size >= 32; p += 32, size -= 32) {
        consume(p);
    }
    std::memcpy(pending_, p, size);
    pendingSize_ = size;
}

std::uint64_t Digest::value() const {
    std::uint64_t h =
        rotl(lanes_[0], 1) + rotl(lanes_[1], 7) + rotl(lanes_[2], 12) + rotl(lanes_[3], 18);
    for (std::uint64_t lane : lanes_) {
        h = (h ^ round(0, lane)) * kPrime1 + kPrime4;
    }
    h += total_;
    std::size_t i = 0;
    for (; i + 8 <= pendingSize_; i += 8) {
        h = rotl(h ^ round(0, load64(pending_ + i)), 27) * kPrime1 + kPrime4;
    }
    for (; i < pendingSize_; ++i) {
        h = rotl(h ^ (pending_[i] * kPrime3), 11) * kPrime1;
    }
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    h ^= h >> 32;
    return h;
}

std::uint64_t DigestOf(std::string_view bytes) {
    Digest digest;
    digest.update(bytes);
    return digest.value();
}

std::string_view RoleName(FileRole role) {
    switch (role) {
        case FileRole::New:
            return "new";
        case FileRole::Record:
            return "rec";
        case FileRole::Old:
            return "old";
        case FileRole::Copy:
            return "copy";
    }
    return "new";
}

std::string StemOf(std::string_view fileName) {
    if (fileName.size() <= kStemRoom) {
        return std::string(fileName);
    }
    // Cut at the start of a character, so the stem stays valid UTF-8.
    std::size_t cut = kStemRoom - 17;
    while (cut > 0 && (static_cast<unsigned char>(fileName[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(fileName.substr(0, cut)) + "~" + hex16(DigestOf(fileName));
}

std::string PrivateStemOf(std::string_view path) {
    return hex16(DigestOf(path));
}

std::string NamePrefix(std::string_view stem, FileRole role) {
    std::string prefix = ".";
    prefix += stem;
    prefix += kMarker;
    prefix += RoleName(role);
    prefix += '-';
    return prefix;
}

std::optional<FileRole> RoleOf(std::string_view entryName, std::string_view stem) {
    for (FileRole role : {FileRole::New, FileRole::Record, FileRole::Old, FileRole::Copy}) {
        const std::string prefix = NamePrefix(stem, role);
        if (entryName.size() == prefix.size() + kRandomLength && entryName.starts_with(prefix)) {
            const std::string_view tail = entryName.substr(prefix.size());
            bool random = true;
            for (char c : tail) {
                random = random && isRandomChar(c);
            }
            if (random) {
                return role;
            }
        }
    }
    return std::nullopt;
}

std::string TornCopyName(std::string_view stem, std::int64_t unixSeconds, int attempt) {
    const std::time_t time = static_cast<std::time_t>(unixSeconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string name = std::string(stem) + std::string(kTornMarker) + stamp;
    if (attempt > 1) {
        name += '-';
        name += std::to_string(attempt);
    }
    return name;
}

std::optional<RecordTrailer> RecordTrailer::ForRewrite(const ReadAt& read,
                                                       const NewContents& contents) {
    const std::optional<Measured> result = MeasureOf(contents, read);
    if (!result) {
        return std::nullopt;
    }
    RecordTrailer trailer;
    trailer.newSize = result->size;
    trailer.newDigest = result->digest;
    trailer.createdNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    return trailer;
}

std::optional<RecordTrailer> RecordTrailer::ForRewrite(std::string_view before,
                                                       const NewContents& contents) {
    std::optional<RecordTrailer> trailer = ForRewrite(MemoryReader(before), contents);
    if (trailer) {
        trailer->originalSize = before.size();
        trailer->originalDigest = DigestOf(before);
    }
    return trailer;
}

std::string RecordTrailer::encode() const {
    std::string word;
    for (char c : verb) {
        word += isRandomChar(c) || c == '-' ? c : '_';
    }
    const std::string fields = std::to_string(originalSize) + " " + hex16(originalDigest) + " " +
                               std::to_string(newSize) + " " + hex16(newDigest) + " " +
                               std::to_string(createdNs) + " " + std::to_string(device) + " " +
                               std::to_string(inode) + " " + (word.empty() ? "-" : word);
    return std::string(kTrailerStart) + fields + " " + hex16(DigestOf(fields)) + "\n";
}

std::optional<RecordTrailer> RecordTrailer::decode(std::string_view tail,
                                                   std::uint64_t recordSize) {
    const std::size_t start = tail.rfind(kTrailerStart);
    if (start == std::string_view::npos || !tail.ends_with('\n')) {
        return std::nullopt;
    }
    const std::string_view line =
        tail.substr(start + kTrailerStart.size(), tail.size() - start - kTrailerStart.size() - 1);
    const std::size_t lastSpace = line.rfind(' ');
    if (lastSpace == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view fields = line.substr(0, lastSpace);
    if (line.substr(lastSpace + 1) != hex16(DigestOf(fields))) {
        return std::nullopt;
    }
    RecordTrailer trailer;
    const char* p = fields.data();
    const char* end = p + fields.size();
    auto next = [&](auto& value, int base) {
        auto [stop, err] = std::from_chars(p, end, value, base);
        p = stop < end && *stop == ' ' ? stop + 1 : stop;
        return err == std::errc();
    };
    if (!next(trailer.originalSize, 10) || !next(trailer.originalDigest, 16) ||
        !next(trailer.newSize, 10) || !next(trailer.newDigest, 16) ||
        !next(trailer.createdNs, 10) || !next(trailer.device, 10) || !next(trailer.inode, 10) ||
        p == end || std::find(p, end, ' ') != end) {
        return std::nullopt;
    }
    trailer.verb = std::string_view(p, static_cast<std::size_t>(end - p)) == "-"
                       ? std::string()
                       : std::string(p, static_cast<std::size_t>(end - p));
    // The trailer must directly follow the original's bytes.
    if (trailer.originalSize + (tail.size() - start) != recordSize) {
        return std::nullopt;
    }
    return trailer;
}

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

// Up to `room` bytes at `at`; fewer only at the end.
std::size_t readFull(const ReadAt& read, std::uint64_t at, char* data, std::size_t room) {
    std::size_t used = 0;
    while (used < room) {
        const std::size_t n = read(at + used, data + used, room - used);
        if (n == 0) {
            break;
        }
        used += n;
    }
    return used;
}

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
            std::min(readFull(a, at, pieceA.get(), room), readFull(b, at, pieceB.get(), room));
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
        if (readFull(a, size - room, pieceA.get(), room) != room ||
            readFull(b, size - room, pieceB.get(), room) != room) {
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
            heldSize_ = readFull(now_, at, piece_.get(), pieces_.roomFor(nowSize_ - at));
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
