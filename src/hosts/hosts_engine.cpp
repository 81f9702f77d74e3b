#include "hosts_engine.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "hosts_recovery.h"

namespace hushgate {

LineEnd NativeLineEnd() {
#ifdef _WIN32
    return LineEnd::CrLf;
#else
    return LineEnd::Lf;
#endif
}

std::string_view TerminatorOf(LineEnd lineEnd) {
    return lineEnd == LineEnd::CrLf ? std::string_view("\r\n") : std::string_view("\n");
}

LineList SplitLines(std::string_view text) {
    LineList lines;
    if (text.empty()) {
        return lines;
    }
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    // Counting first costs far less than letting a list of millions of lines
    // grow step by step; the room for the block entries saves one more move.
    std::size_t lineFeeds = 0;
    for (const char* p = begin;
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p) {
        ++lineFeeds;
    }
    lines.reserve(lineFeeds + 1 + kBlockEntryCount + 1);
    const char* lineStart = begin;
    while (const void* found =
               std::memchr(lineStart, '\n', static_cast<std::size_t>(end - lineStart))) {
        const char* lf = static_cast<const char*>(found);
        const char* textEnd = lf > lineStart && lf[-1] == '\r' ? lf - 1 : lf;
        lines.emplace_back(lineStart, static_cast<std::size_t>(textEnd - lineStart));
        lineStart = lf + 1;
    }
    lines.emplace_back(lineStart, static_cast<std::size_t>(end - lineStart));
    return lines;
}

std::string ReadFileText(const std::string& fileName) {
    return std::string(ReadFileSnapshot(fileName).bytes.view());
}

std::optional<std::string> ResultOfChange(std::string_view original, std::string_view verb) {
    const bool block = verb == "block-lf" || verb == "block-crlf";
    if (!block && verb != "unblock-lf" && verb != "unblock-crlf") {
        return std::nullopt;
    }
    LineList lines = SplitLines(original);
    std::erase_if(lines, [&](std::string_view line) {
        return line.empty() || (!block && FindBlockEntry(line));
    });
    const auto& entries = BlockEntries();
    const LinesToWrite contents{
        lines,
        block ? std::span<const std::string_view>(entries) : std::span<const std::string_view>(),
        verb.ends_with("crlf") ? "\r\n" : "\n", original};
    std::string result;
    result.reserve(contents.byteCount());
    contents.forEachPiece([&](std::string_view piece) {
        result += piece;
        return 0;
    });
    return result;
}

HostsEngine::HostsEngine(std::string hostsPath, LineEnd lineEnd)
    : hostsPath_(std::move(hostsPath)),
      lineEnd_(lineEnd),
      recoveryFolder_(DefaultRecoveryFolder()) {
    FillBlockList();
}

void HostsEngine::setStatusHandlers(std::function<void()> showBlocked,
                                    std::function<void()> showUnblocked) {
    showBlocked_ = std::move(showBlocked);
    showUnblocked_ = std::move(showUnblocked);
}

void HostsEngine::setRecoveryHandler(std::function<void(const RecoveryNotice&)> handler) {
    recoveryHandler_ = std::move(handler);
}

std::vector<RecoveryNotice> HostsEngine::TakeRecoveryNotices() {
    return std::exchange(recoveryNotices_, {});
}

WriteOptions HostsEngine::writeOptions() const {
    WriteOptions options;
    options.recoveryFolder = recoveryFolder_;
    options.wait = wait_;
    options.resultOf = ResultOfChange;
    if (writeHook_ || beforeReplace_) {
        options.hook = [this](WriteStep step) {
            if (step == WriteStep::BeforeFinalCheck && beforeReplace_) {
                beforeReplace_();
            }
            if (writeHook_) {
                writeHook_(step);
            }
        };
    }
    return options;
}

void HostsEngine::adopt(ByteBuffer bytes, const FileStamp& stamp) {
    const std::uint64_t size = bytes.size();
    try {
        // The buffer lives on the heap, so the views stay valid when it moves.
        auto text = std::make_unique<const ByteBuffer>(std::move(bytes));
        LineList lines = SplitLines(text->view());
        lvHosts_ = std::move(lines);
        text_ = std::move(text);
    } catch (const std::bad_alloc&) {
        throw HostsError::OutOfMemory(HostsError::Action::Read, hostsPath_, size);
    }
    stamp_ = stamp;
}

void HostsEngine::LoadHostsList() {
    FileSnapshot snapshot;
    for (RecoveryNotice& notice : TidyUpBeforeRead(hostsPath_, writeOptions(), &snapshot)) {
        // A record we cannot trust stays where it is: told once a run.
        if (notice.what == RecoveryNotice::What::Ignored &&
            !toldIgnored_.insert(notice.tornCopy).second) {
            continue;
        }
        if (recoveryHandler_) {
            recoveryHandler_(notice);
        } else {
            recoveryNotices_.push_back(std::move(notice));
        }
    }
    adopt(std::move(snapshot.bytes), snapshot.stamp);
}

void HostsEngine::FillBlockList() {
    lvEntries_.clear();
    lvEntries_.reserve(kBlockEntryCount);
    for (std::string_view entry : BlockEntries()) {
        lvEntries_.push_back({entry, false});
    }
}

void HostsEngine::markFound() {
    for (std::string_view line : lvHosts_) {
        if (auto index = FindBlockEntry(line)) {
            lvEntries_[*index].found = true;
        }
    }
}

void HostsEngine::restoreListsFromText() noexcept {
    try {
        lvHosts_ = SplitLines(text_->view());
    } catch (...) {
        lvHosts_.clear();
    }
    // The block list keeps its capacity, so refilling it cannot fail.
    FillBlockList();
    markFound();
}

bool HostsEngine::CheckStatus() {
    markFound();
    const bool blocked = FoundCount() == lvEntries_.size();
    const auto& show = blocked ? showBlocked_ : showUnblocked_;
    if (show) {
        show();
    }
    return blocked;
}

std::size_t HostsEngine::FoundCount() const {
    return static_cast<std::size_t>(
        std::count_if(lvEntries_.begin(), lvEntries_.end(),
                      [](const BlockListItem& item) { return item.found; }));
}

void HostsEngine::RemoveEmptyLines() {
    std::erase_if(lvHosts_, [](std::string_view line) { return line.empty(); });
}

template <typename Operation>
auto HostsEngine::retryIfChanged(Operation operation) {
    for (int attempt = 1;; ++attempt) {
        try {
            LoadHostsList();
            return operation();
        } catch (const HostsError& error) {
            // Kept by another run from the read on: this change is what was not made.
            if (error.kind() == HostsError::Kind::HeldByOther &&
                error.action() == HostsError::Action::Read) {
                throw HostsError(HostsError::Action::Write, error.kind(), error.path(),
                                 error.osError(), error.reason() + "; nothing was written");
            }
            if (error.kind() != HostsError::Kind::ChangedByOther) {
                throw;
            }
            if (attempt == kMaxAttempts) {
                throw HostsError(error.action(), error.kind(), error.path(), 0,
                                 "another program kept changing the file while it was being "
                                 "updated; nothing was written, try again");
            }
        } catch (const std::bad_alloc&) {
            throw HostsError::OutOfMemory(HostsError::Action::Write, hostsPath_,
                                          text_ ? text_->size() : 0);
        }
    }
}

namespace {

// The lines of `version` that `checked` lacks (each as often as it lacks
// it), in order and with their own line ends. Block entries and empty lines
// are left out: the operations decide those.
std::string linesAddedIn(std::string_view version, std::string_view checked,
                         std::string_view terminator) {
    std::string_view candidates = version;
    std::unordered_map<std::string_view, std::size_t> present;
    if (version.starts_with(checked)) {
        candidates = version.substr(checked.size());  // only added to, as by >>
    } else {
        for (std::string_view line : SplitLines(checked)) {
            ++present[line];
        }
    }
    std::string added;
    const char* const end = candidates.data() + candidates.size();
    for (std::string_view line : SplitLines(candidates)) {
        if (auto it = present.find(line); it != present.end() && it->second > 0) {
            --it->second;
            continue;
        }
        if (line.empty() || FindBlockEntry(line)) {
            continue;
        }
        const char* after = line.data() + line.size();
        std::string_view lineEnd = terminator;
        if (after < end && *after == '\n') {
            lineEnd = {after, 1};
        } else if (end - after >= 2 && after[0] == '\r' && after[1] == '\n') {
            lineEnd = {after, 2};
        }
        (added += line) += lineEnd;
    }
    return added;
}

}  // namespace

// Another program changed the file after our final check (appended to it,
// or put a version of its own in place) and our new file displaced that
// version. What it added is added to the file now in place, as that program
// did: an operation done again would leave our file without those lines
// for longer, for yet another program to build on.
bool HostsEngine::replaceFile(std::span<const std::string_view> tail, std::string_view verb) {
    const LinesToWrite contents{lvHosts_, tail, TerminatorOf(lineEnd_), text_->view()};
    WriteOptions options = writeOptions();
    options.verb = std::string(verb) + (lineEnd_ == LineEnd::CrLf ? "-crlf" : "-lf");
    std::string seen;
    bool tookIn = false;
    options.displaced = [&](std::string_view version) {
        keepLinesOfOthers(linesAddedIn(version, tookIn ? std::string_view(seen) : text_->view(),
                                       TerminatorOf(lineEnd_)));
        seen.assign(version);
        tookIn = true;
    };
    // Appended to in place as we wrote: the file holds those bytes as well.
    options.keptAppended = [&] { tookIn = true; };
    ReplaceFileContents(hostsPath_, stamp_, text_->view(), contents, options);
    return !tookIn;
}

// After a write that took in another program's change: the lists as the
// file now gives them. False when it cannot be read (the change is made all
// the same).
bool HostsEngine::readBack() noexcept {
    try {
        LoadHostsList();
        FillBlockList();
        return true;
    } catch (...) {
        return false;
    }
}

// Adds `lines` to the file and makes sure they stay: should a program that
// read the file before they went in put its own version in place, the lines
// that version lacks are added to it.
void HostsEngine::keepLinesOfOthers(std::string lines) {
    for (int attempt = 0; attempt < kMaxAttempts && !lines.empty(); ++attempt) {
        if (AppendToFile(hostsPath_, lines)) {
            return;
        }
        try {
            const FileSnapshot now = ReadFileSnapshot(hostsPath_);
            lines = linesAddedIn(lines, now.bytes.view(), TerminatorOf(lineEnd_));
        } catch (const HostsError&) {
            return;
        }
    }
}

bool HostsEngine::Block(BlockMode mode) {
    return retryIfChanged([this, mode] {
        const auto& entries = BlockEntries();
        if (mode == BlockMode::UnlessBlocked) {
            FillBlockList();
            markFound();
            if (FoundCount() == entries.size()) {
                CheckStatus();
                return false;
            }
        }
        bool onlyOurs = true;
        try {
            RemoveEmptyLines();
            // Room for the lines read back below, so nothing can fail once
            // the file has been written.
            lvHosts_.reserve(lvHosts_.size() + entries.size() + 1);
            onlyOurs = replaceFile(entries, "block");
        } catch (...) {
            // The file is as it was read, and so are the lists again.
            restoreListsFromText();
            throw;
        }
        if (!onlyOurs) {
            onlyOurs = !readBack();
        }
        if (onlyOurs) {
            // The file now holds exactly these lines, each ended; reading it
            // back would give them followed by the empty line after the last end.
            lvHosts_.insert(lvHosts_.end(), entries.begin(), entries.end());
            lvHosts_.emplace_back();
        }
        FillBlockList();
        CheckStatus();
        return true;
    });
}

std::size_t HostsEngine::Unblock() {
    return retryIfChanged([this] {
        std::size_t removed = 0;
        try {
            FillBlockList();
            removed = std::erase_if(
                lvHosts_, [](std::string_view line) { return FindBlockEntry(line).has_value(); });
            // The empty line after a final line end is no line of the file.
            const std::size_t empty = static_cast<std::size_t>(
                std::count_if(lvHosts_.begin(), lvHosts_.end(),
                              [](std::string_view line) { return line.empty(); }));
            const bool onlyFinalEnd =
                empty == 1 && text_->view().ends_with('\n') && lvHosts_.back().empty();
            const bool unchanged = removed == 0 && (empty == 0 || onlyFinalEnd);
            RemoveEmptyLines();
            if (!unchanged && !replaceFile({}, "unblock")) {
                readBack();
            }
        } catch (...) {
            restoreListsFromText();
            throw;
        }
        CheckStatus();
        return removed;
    });
}

}  // namespace hushgate
