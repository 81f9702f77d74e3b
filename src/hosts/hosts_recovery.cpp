#include "hosts_recovery.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

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

}  // namespace hushgate::detail
