#pragma once

// The operating-system side of the hosts engine: where the hosts file is,
// reading it whole, and replacing it safely. One implementation per platform
// (hosts_file_posix.cpp, hosts_file_win.cpp), chosen by the build.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "large_memory.h"

namespace hushgate {

// What identifies one version of a file on disk: if any of these differ
// between our read and our write, somebody else changed the file.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

struct FileSnapshot {
    ByteBuffer bytes;
    FileStamp stamp;
};

// The new contents of a file: the lines of `head`, then those of `tail`, each
// followed by `terminator`. Given as views so that a large file is never
// copied into one more buffer.
struct LinesToWrite {
    std::span<const std::string_view> head;
    std::span<const std::string_view> tail;
    std::string_view terminator;
    // The bytes the lines were cut from, if any. Lines that follow each other
    // there with only a terminator between them are written as one piece.
    std::string_view source = {};

    std::uint64_t byteCount() const;

    // Calls put(piece) for consecutive pieces that together are the contents;
    // stops at and returns the first non-zero result.
    int forEachPiece(const std::function<int(std::string_view)>& put) const;
};

// The Windows system directory without a trailing backslash; empty where
// there is none (every other platform) or when the system cannot tell.
std::string GetSysDir();

// The hosts file the system's name resolution reads.
std::string SystemHostsPath();

// True when `path` names an existing ordinary file (symbolic links followed).
// Never throws.
bool FileExists(const std::string& path);

// Reads the whole file. Throws HostsError (Kind::NotFound for a missing file).
FileSnapshot ReadFileSnapshot(const std::string& path);

// Replaces the contents of `path` (through a symbolic link, with the target's
// permissions, owner and security label kept) so that the file is always
// either wholly old or wholly new. `expected` is the stamp of the version
// that was read and `original` its bytes; if the file on disk is no longer
// that version, throws HostsError with Kind::ChangedByOther and writes
// nothing. `beforeCommit` runs just before the final check and is a seam for
// tests. On any failure the file is left as it was and no temporary file
// remains.
void ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         std::string_view original, const LinesToWrite& contents,
                         const std::function<void()>& beforeCommit = {});

}  // namespace hushgate
