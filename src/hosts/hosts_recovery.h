#pragma once

// What the platform layers share about the files they keep beside a hosts
// file: how those files are named, the recovery record's trailer and the
// digest it holds. Not for front ends.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "hosts_file.h"

namespace hushgate::detail {

// A fast 64-bit digest of a byte stream, the same however the stream is cut
// into pieces. It tells versions of one file apart; it is no defence against
// someone who crafts a file on purpose (and the size is compared as well).
class Digest {
public:
    void update(std::string_view bytes);
    std::uint64_t value() const;

private:
    void consume(const unsigned char* block);

    std::uint64_t lanes_[4] = {0x60EA27EEADC0B5D6ULL, 0xC2B2AE3D27D4EB4FULL, 0x0ULL,
                               0x61C8864E7A143579ULL};
    unsigned char pending_[32] = {};
    std::size_t pendingSize_ = 0;
    std::uint64_t total_ = 0;
};

std::uint64_t DigestOf(std::string_view bytes);

// Every file of ours beside a hosts file is named "." + stem + ".hushgate-" +
// role + "-" + six letters or digits, and is locked while in use; a run that
// finds one unlocked removes it (a record is first used to undo what it
// guards).
enum class FileRole {
    New,     // the new contents, renamed over the hosts file
    Record,  // the recovery record of a rewrite in place
    Old,     // the replaced file, briefly (Windows)
    Copy,    // a damaged copy being saved
};
std::string_view RoleName(FileRole role);

// The stem for a file named `fileName`: the name itself, or, when the name
// leaves no room for our additions within 255 bytes, its first part and a
// digest of the whole name.
std::string StemOf(std::string_view fileName);
// The stem of a record kept in the recovery folder: stands for the whole
// path of the hosts file it guards.
std::string PrivateStemOf(std::string_view path);
// "." + stem + ".hushgate-" + role + "-"; six random letters or digits follow.
std::string NamePrefix(std::string_view stem, FileRole role);
inline constexpr std::size_t kRandomLength = 6;
// The role of `entryName` when it is one of ours for `stem`.
std::optional<FileRole> RoleOf(std::string_view entryName, std::string_view stem);
// Where the bytes of a damaged file are kept: "<name>.hushgate-torn-<time>"
// (with "-2", "-3" ... when taken).
std::string TornCopyName(std::string_view stem, std::int64_t unixSeconds, int attempt);

// A recovery record is the original file's bytes followed by this trailer,
// a comment line to the resolver should the record ever be copied back by
// hand.
struct RecordTrailer {
    std::uint64_t originalSize = 0;
    std::uint64_t originalDigest = 0;
    std::uint64_t newSize = 0;
    std::uint64_t newDigest = 0;
    std::int64_t createdNs = 0;
    // The file it guards (device and inode numbers; 0 where not known) and
    // what the write did (WriteOptions::verb; letters, digits and '-' only).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string verb;

    // For a rewrite of `before` into `contents` that starts now; nothing
    // when the contents leave it as it is.
    static std::optional<RecordTrailer> ForRewrite(std::string_view before,
                                                   const NewContents& contents);
    // The same for the original `read`, whose size and digest the caller,
    // who copies it into the record, fills in.
    static std::optional<RecordTrailer> ForRewrite(const ReadAt& read, const NewContents& contents);

    std::string encode() const;
    // From the last bytes of a record of `recordSize` bytes; nothing when
    // the record is incomplete or not ours.
    static std::optional<RecordTrailer> decode(std::string_view tail, std::uint64_t recordSize);
    static constexpr std::size_t kMaxSize = 320;
};

// The size and digest of a file's bytes, or of new contents as they are made.
struct Measured {
    std::uint64_t size = 0;
    std::uint64_t digest = 0;
    bool operator==(const Measured&) const = default;
};
// Of the bytes `read` gives from the start to its end.
Measured MeasureOf(const ReadAt& read);
// Nothing when the contents leave the original as it is.
std::optional<Measured> MeasureOf(const NewContents& contents, const ReadAt& original);

// True when `now` is what an interrupted rewrite of `original` into `result`
// in place can leave: the original, the result, or a first part of the
// result followed by the rest of the original (the file as long as the
// longer of the two), and any of those with a first part of the original
// written back over it by an undo that was interrupted in turn.
// Read in pieces: the files may be far larger than what we hold in memory,
// and the result is compared as it is made from the original, never kept.
bool FitsInterruptedRewrite(const ReadAt& now, std::uint64_t nowSize, const ReadAt& original,
                            std::uint64_t originalSize, const NewContents& result);
bool FitsInterruptedRewrite(std::string_view now, std::string_view original,
                            std::string_view result);

// Opens the records found at `recordPaths` with `open` (nothing for one
// that is not a record) and hands each to `undo`, oldest first: undoing an
// interrupted undo needs the first original. Returns what `undo` tells of
// each (undone, set aside).
template <class Path, class Open, class Undo>
std::vector<RecoveryNotice> UndoOldestFirst(const std::vector<Path>& recordPaths, Open open,
                                            Undo undo) {
    std::vector<std::remove_cvref_t<decltype(*open(recordPaths.front()))>> records;
    for (const Path& recordPath : recordPaths) {
        if (auto record = open(recordPath)) {
            records.push_back(std::move(*record));
        }
    }
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
        return a.trailer.createdNs < b.trailer.createdNs;
    });
    std::vector<RecoveryNotice> told;
    for (auto& record : records) {
        if (std::optional<RecoveryNotice> notice = undo(record)) {
            told.push_back(std::move(*notice));
        }
    }
    return told;
}

}  // namespace hushgate::detail
