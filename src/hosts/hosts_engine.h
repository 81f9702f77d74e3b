#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "block_list.h"
#include "hosts_error.h"
#include "hosts_file.h"

namespace hushgate {

// Lines of a hosts file, as views into the bytes read.
using LineList = std::vector<std::string_view, LargeAllocator<std::string_view>>;

// How lines of the hosts file end. Windows writes CR LF; Linux and macOS
// write LF alone, and there a CR is just a character inside its line.
enum class LineEnd { CrLf, Lf };

LineEnd NativeLineEnd();
std::string_view TerminatorOf(LineEnd lineEnd);

// Cuts `text` at every terminator and nowhere else: an empty text gives no
// lines, a text holding n terminators gives n + 1 lines (so a final
// terminator yields a last, empty line). The views point into `text`.
LineList SplitLines(std::string_view text, LineEnd lineEnd);

// The whole contents of a file. Throws HostsError (Kind::NotFound when the
// file does not exist).
std::string ReadFileText(const std::string& fileName);

// One item of the block list: the entry and whether the hosts file holds it
// (the list's "Found" column).
struct BlockListItem {
    std::string_view entry;
    bool found = false;
};

// The hosts file's lines (`lvHosts`) and the block list (`lvEntries`), and the
// operations on them. A window or a command-line tool holds one of these.
// Every operation that fails throws HostsError and leaves the file as it was,
// and the lists as that file gives them.
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
    // Runs inside every write just before the file is replaced; lets tests
    // play another program that edits the file at the worst moment.
    void setBeforeReplaceHook(std::function<void()> hook) { beforeReplace_ = std::move(hook); }

    // Reads the hosts file into lvHosts. On failure lvHosts is untouched.
    void LoadHostsList();
    // Puts the 68 block entries into lvEntries, none of them found.
    void FillBlockList();
    // Marks the block entries that stand in lvHosts as whole lines, then
    // reports blocked (all found) or unblocked. Returns true when blocked.
    bool CheckStatus();
    // Drops the lines of lvHosts that are exactly empty.
    void RemoveEmptyLines();

    // The file work of the Block button: the file's non-empty lines followed
    // by all block entries. Leaves lvHosts holding the file as now on disk
    // and the status checked.
    void Block();
    // The file work of the Unblock button: the file without block-entry lines
    // and without empty lines. Returns how many entry lines were removed.
    std::size_t Unblock();

    const LineList& lvHosts() const { return lvHosts_; }
    const std::vector<BlockListItem>& lvEntries() const { return lvEntries_; }
    std::size_t FoundCount() const;

    // How often an operation starts again from a fresh read when another
    // program changed the file between our read and our write.
    static constexpr int kMaxAttempts = 3;

private:
    template <typename Operation>
    auto retryIfChanged(Operation operation);
    void replaceFile(std::span<const std::string_view> tail);
    void markFound();
    // After a failed write: the lists as the unchanged file gives them.
    void restoreListsFromText() noexcept;

    std::string hostsPath_;
    LineEnd lineEnd_;
    std::function<void()> showBlocked_;
    std::function<void()> showUnblocked_;
    std::function<void()> beforeReplace_;

    // The bytes of the last read; the lines are views into it, and read-back
    // lines added after a block point at the constant block entries.
    std::unique_ptr<const ByteBuffer> text_;
    FileStamp stamp_;
    LineList lvHosts_;
    std::vector<BlockListItem> lvEntries_;
};

}  // namespace hushgate
