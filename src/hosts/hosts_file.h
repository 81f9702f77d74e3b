#pragma once

// The operating-system side of the hosts engine: where the hosts file is,
// reading it, replacing it safely, and undoing what an interrupted
// run left behind. One implementation per platform (hosts_file_posix.cpp,
// hosts_file_win.cpp and their helpers), chosen by the build.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Reads the version of a file that was read: up to `room` bytes at `at`, 0
// at its end. Throws HostsError when the read fails.
using ReadAt = std::function<std::size_t(std::uint64_t at, char* data, std::size_t room)>;

// Reads `bytes` held in memory.
ReadAt MemoryReader(std::string_view bytes);

// Up to `room` bytes at `at`, from as many reads as that takes; fewer only
// at the end.
std::size_t ReadFull(const ReadAt& read, std::uint64_t at, char* data, std::size_t room);

// Where new contents go, piece by piece. A piece stays valid until the next
// call of release(), so a sink may gather pieces and write them at once.
class PieceSink {
public:
    // 0 or the system's error code, which ends the contents.
    virtual int put(std::string_view piece) = 0;
    virtual int release() { return 0; }

protected:
    ~PieceSink() = default;
};

// The new contents of a file, made from its present version (the original)
// each time they are asked for: a large file is never held in memory, and a
// rewrite in place, which overwrites the original, makes them from a copy.
struct NewContents {
    // Gives the pieces made from the original read by `original` to `out`;
    // returns 0, the first error `out` returned, or kLeaveAsIs.
    std::function<int(const ReadAt& original, PieceSink& out)> produce;
    // The original needs no change after all (found out on the way through it).
    static constexpr int kLeaveAsIs = -1;

    // Exactly `bytes`, whatever the original holds; the bytes must outlive the result.
    static NewContents Bytes(std::string_view bytes);
    // All of them at once: for small files and rare paths only.
    std::string text(const ReadAt& original) const;
    // True when they say kLeaveAsIs.
    bool leavesAsIs(const ReadAt& original) const;
};

// Places inside a write where a test may step in, to play another program
// or to end the process at the worst moment.
enum class WriteStep {
    BeforeFinalCheck,  // the new contents are ready; the file is checked for changes next
    AfterFinalCheck,   // checked; the new file takes the old one's place next
    RecordSaved,       // in place: the recovery record is on disk, the file is rewritten next
    InPlaceWritten,    // in place: the new bytes are written, the file not yet cut or synced
};

struct WriteOptions {
    // Where recovery records go when the hosts file's own folder takes no new
    // file. Empty: nowhere, and such a rewrite in place is refused.
    std::string recoveryFolder;
    std::function<void(WriteStep)> hook;
    // Called when our new file displaced a version that another program had
    // changed after our final check (appended to it, or put a new file in
    // its place), with that version's bytes and the new contents as written:
    // as soon as it is seen, and once more should it change again before
    // every program that had it open has let go of it. Lets the caller take
    // that change in.
    std::function<void(std::string_view version, std::string_view written)> displaced;
    // Called when bytes another program appended during a rewrite in place
    // were kept after the new contents: the file holds more than was given.
    std::function<void()> keptAppended;
    // How long to wait for another run of ours that holds the writers' lock
    // of the file, and for another program that has the file open to write.
    std::chrono::milliseconds wait{5000};
    // What the write does, kept in its recovery record ("block-lf", ...;
    // empty for bytes given whole), and the contents it makes of an original
    // (nothing for a verb not known): a record is applied only to a file
    // that an interrupted write of exactly that could have left.
    std::string verb;
    std::function<std::optional<NewContents>(std::string_view verb)> resultOf;
};

// What a read found of an earlier run's rewrite in place.
struct RecoveryNotice {
    enum class What {
        Undone,    // it was interrupted and has been undone
        SetAside,  // its record does not fit the file as it is: file left alone, record renamed
        Ignored,   // a record we cannot trust (another owner, open to others): not used
    };
    std::string file;      // the hosts file
    std::string tornCopy;  // Undone: the damaged bytes; otherwise the record (as set aside)
    What what = What::Undone;
    // "An interrupted change of FILE was undone; the damaged copy was kept as COPY.", ...
    std::string message() const;
};

// The Windows system directory without a trailing backslash; empty where
// there is none (every other platform) or when the system cannot tell.
std::string GetSysDir();

// The hosts file the system's name resolution reads.
std::string SystemHostsPath();

// Where a process with the right to change the system's hosts file keeps
// recovery records that cannot go beside the file: /var/lib/hushgate for
// root on Linux and macOS, a folder under ProgramData on Windows; empty for
// anyone else.
std::string DefaultRecoveryFolder();

// True when `path` names an existing ordinary file (symbolic links followed).
// Never throws.
bool FileExists(const std::string& path);

// Reads the whole file. Throws HostsError (Kind::NotFound for a missing file,
// Kind::OutOfMemory when it does not fit).
FileSnapshot ReadFileSnapshot(const std::string& path);

// A file held open for reading as the version it was when opened: its stamp,
// and its bytes read in pieces, never past the size in the stamp. Throws
// HostsError as ReadFileSnapshot does.
class OpenedFile {
public:
    explicit OpenedFile(const std::string& path);
    ~OpenedFile();
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

    const FileStamp& stamp() const { return stamp_; }
    ReadAt reader() const;

private:
    std::intptr_t handle_ = -1;
    FileStamp stamp_;
    std::string path_;
};

// Before a read of `path`: removes the temporary files of ours beside it that
// no running process holds, and undoes a rewrite in place that was
// interrupted (keeping the damaged bytes beside the file) where its record
// can be trusted and fits the file. Returns what was undone, set aside or
// ignored. With `thenRead`, opens the file and hands it over before another
// run of ours may start to change it; then, the file closed again (an open
// file cannot be renamed over on Windows), calls `thenChange` still under
// our writers' lock, so that a change it makes takes no lock of its own and
// follows the read with no other run of ours in between. Throws HostsError
// when a damaged file cannot be put right, and when another run keeps the
// file past options.wait.
std::vector<RecoveryNotice> TidyUpBeforeRead(
    const std::string& path, const WriteOptions& options,
    const std::function<void(const OpenedFile&)>& thenRead = {},
    const std::function<void()>& thenChange = {});

// Creates `path` with `bytes`, flushed to disk, only when nothing is there
// yet; permissions as for any new file. A file it created but could not fill
// is removed again. Throws HostsError (for a name already taken too).
void CreateNewFile(const std::string& path, std::string_view bytes);

// Adds `bytes` at the end of the file as it stands, as the shell's `>>` does.
// Returns false when a program that had read the file before (and so never
// saw these bytes) has since put its own version in its place; where that
// cannot be told, true. Never throws.
bool AppendToFile(const std::string& path, std::string_view bytes) noexcept;

// Replaces the contents of `path` (through a symbolic link, with the target's
// permissions, owner, extended attributes, ACL and security label kept) so
// that the file is always either wholly old or wholly new. `expected` is the
// stamp of the version that was read; if the file on disk is no longer that
// version, throws HostsError with Kind::ChangedByOther and writes nothing.
// The contents are made from the file as it is, which the stamp has shown to
// be that version. Where the file cannot be replaced by a new one (a bind
// mount, a hard link, a folder that takes no new file, an ACL or label that
// cannot be given to a new file) it is rewritten in place, guarded by a
// recovery record. On any failure the file is left as it was and no
// temporary file remains. Returns false, having changed nothing, when the
// contents said kLeaveAsIs.
bool ReplaceFileContents(const std::string& path, const FileStamp& expected,
                         const NewContents& contents, const WriteOptions& options = {});

}  // namespace hushgate
