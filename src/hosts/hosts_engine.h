#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "block_list.h"
#include "hosts_error.h"
#include "hosts_file.h"
#include "hosts_lines.h"
#include "interrupt_handling.h"

namespace hushgate {

// The line end of the lines we add: CR LF on Windows, LF on Linux and macOS.
// Reading does not depend on it (see hosts_lines.h).
enum class LineEnd { CrLf, Lf };

LineEnd NativeLineEnd();
std::string_view TerminatorOf(LineEnd lineEnd);

// The whole contents of a file. Throws HostsError (Kind::NotFound when the
// file does not exist).
std::string ReadFileText(const std::string& fileName);

// What the engine writes for `verb` ("block-lf", "block-crlf", "unblock-lf",
// "unblock-crlf"), made from whatever file it is given; nothing for another
// verb. A recovery record names its write this way, so that a later run can
// tell what an interrupted write could have left.
std::optional<NewContents> ResultOfChange(std::string_view verb);

// One item of the block list: the entry and whether the hosts file holds it
// (the list's "Found" column).
struct BlockListItem {
    std::string_view entry;
    bool found = false;
};

// What the hosts file holds of the block list (`lvEntries`), and the
// operations on the file. A window or a command-line tool holds one of
// these. The file itself is never held: each read passes over it once
// through a small buffer and keeps what it found, so memory does not grow
// with the file. Every operation that fails throws HostsError and leaves the
// file as it was, and the list as that file gives it.
class HostsEngine {
public:
    explicit HostsEngine(std::string hostsPath = SystemHostsPath(),
                         LineEnd lineEnd = NativeLineEnd());
    HostsEngine(const HostsEngine&) = delete;
    HostsEngine& operator=(const HostsEngine&) = delete;

    const std::string& hostsPath() const { return hostsPath_; }
    LineEnd lineEnd() const { return lineEnd_; }

    // CheckStatus calls exactly one of these with its decision.
    void setStatusHandlers(std::function<void()> showBlocked, std::function<void()> showUnblocked);

    // Every read first undoes a rewrite in place that an earlier run left
    // half done (see TidyUpBeforeRead). Each time that happens, the notice
    // goes to this handler at once; without a handler it waits in a list
    // for TakeRecoveryNotices. A front end shows each notice once.
    void setRecoveryHandler(std::function<void(const RecoveryNotice&)> handler);
    std::vector<RecoveryNotice> TakeRecoveryNotices();

    // Where recovery records go when the hosts file's own folder takes no
    // new file; DefaultRecoveryFolder() unless set. Empty: such a rewrite
    // in place is refused.
    void setRecoveryFolder(std::string folder) { recoveryFolder_ = std::move(folder); }
    const std::string& recoveryFolder() const { return recoveryFolder_; }

    // Seams for tests: run at the given steps of every write, to play
    // another program that edits the file at the worst moment, or to end
    // the process there. setBeforeReplaceHook is WriteStep::BeforeFinalCheck.
    void setWriteHook(std::function<void(WriteStep)> hook) { writeHook_ = std::move(hook); }
    void setBeforeReplaceHook(std::function<void()> hook) { beforeReplace_ = std::move(hook); }
    // How long to wait for another run of ours at work on the file (and for
    // a program that has it open to write); 5 seconds unless set.
    void setWait(std::chrono::milliseconds wait) { wait_ = wait; }

    // Reads the hosts file, after tidying up what an earlier, interrupted
    // run left (see setRecoveryHandler), and keeps which block entries it
    // holds. On failure what the last read found is kept; that includes a
    // damaged file that cannot be put right (for want of the right to change it).
    void LoadHostsList();
    // Puts the 68 block entries into lvEntries, none of them found.
    void FillBlockList();
    // Marks the block entries that the file held as whole lines when last
    // read or written, then reports blocked (all found) or unblocked.
    // Returns true when blocked.
    bool CheckStatus();

    enum class BlockMode {
        Always,         // the Block button: the file is written in every case
        UnlessBlocked,  // scripts: a file that holds all entries is left as it is
    };
    // The file work of the Block button: the file's non-empty lines followed
    // by all block entries. Leaves the status checked as the file now on
    // disk gives it. Returns false when nothing was written (only
    // with BlockMode::UnlessBlocked, on a file already blocked).
    bool Block(BlockMode mode = BlockMode::Always);
    // The file work of the Unblock button: the file without block-entry lines
    // and without empty lines. Returns how many entry lines were removed. A
    // file with no entry line and no empty line is not written at all.
    std::size_t Unblock();

    const std::vector<BlockListItem>& lvEntries() const { return lvEntries_; }
    std::size_t FoundCount() const;

    // How often an operation starts again from a fresh read when another
    // program changed the file between our read and our write. A change made
    // after our final check is taken in without starting again.
    static constexpr int kMaxAttempts = 3;

private:
    template <typename Operation>
    auto retryIfChanged(Operation operation);
    void tell(std::vector<RecoveryNotice> notices);
    enum class Outcome {
        LeftAsIs,  // nothing to change, found on the way
        Written,   // the file now holds exactly what was written
        TookIn,    // and another program's change made after our final check
    };
    // Rewrites the file in one pass, which also finds what it held (in
    // lines_); unless `always`, only when that calls for a change.
    Outcome replaceFile(LineChange change, bool always);
    void keepLinesOfOthers(std::string lines);
    bool readBack() noexcept;
    void markFound();
    WriteOptions writeOptions() const;
    std::chrono::milliseconds wait_{5000};

    std::string hostsPath_;
    LineEnd lineEnd_;
    std::string recoveryFolder_;
    std::function<void()> showBlocked_;
    std::function<void()> showUnblocked_;
    std::function<void(const RecoveryNotice&)> recoveryHandler_;
    std::vector<RecoveryNotice> recoveryNotices_;
    std::set<std::string> toldIgnored_;
    std::function<void(WriteStep)> writeHook_;
    std::function<void()> beforeReplace_;

    // What the last read found (as our write left it, after a write), and
    // the version it read.
    LinesFound lines_;
    FileStamp stamp_;
    std::vector<BlockListItem> lvEntries_;
};

}  // namespace hushgate
