#include "hosts_engine.h"

#include <algorithm>
#include <cstring>

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
    for (const char* p = begin; (p = static_cast<const char*>(
                                     std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p) {
        ++lineFeeds;
    }
    lines.reserve(lineFeeds + 1 + kBlockEntryCount + 1);
    const char* lineStart = begin;
    while (const void* found = std::memchr(lineStart, '\n', static_cast<std::size_t>(end - lineStart))) {
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

HostsEngine::HostsEngine(std::string hostsPath, LineEnd lineEnd)
    : hostsPath_(std::move(hostsPath)), lineEnd_(lineEnd), recoveryFolder_(DefaultRecoveryFolder()) {
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
    onDisk_.reset();
    stamp_ = stamp;
}

void HostsEngine::LoadHostsList() {
    for (RecoveryNotice& notice : TidyUpBeforeRead(hostsPath_, writeOptions())) {
        if (recoveryHandler_) {
            recoveryHandler_(notice);
        } else {
            recoveryNotices_.push_back(std::move(notice));
        }
    }
    FileSnapshot snapshot = ReadFileSnapshot(hostsPath_);
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
    if (onDisk_) {
        text_ = std::move(onDisk_);
    }
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
    return static_cast<std::size_t>(std::count_if(
        lvEntries_.begin(), lvEntries_.end(), [](const BlockListItem& item) { return item.found; }));
}

void HostsEngine::RemoveEmptyLines() {
    std::erase_if(lvHosts_, [](std::string_view line) { return line.empty(); });
}

template <typename Operation>
auto HostsEngine::retryIfChanged(Operation operation) {
    using Kind = HostsError::Kind;
    bool reload = true;
    for (int attempt = 1;; ++attempt) {
        bool lastChangeMissing = false;
        try {
            if (reload) {
                LoadHostsList();
            }
            displaced_ = false;
            auto result = operation();
            if (!displaced_) {
                return result;
            }
            // Our write displaced another program's change: done again on
            // that version, from the lists takeInDisplaced made.
            reload = false;
            lastChangeMissing = true;
        } catch (const HostsError& error) {
            if (error.kind() != Kind::ChangedByOther) {
                throw;
            }
            reload = true;
        } catch (const std::bad_alloc&) {
            throw HostsError::OutOfMemory(HostsError::Action::Write, hostsPath_, text_ ? text_->size() : 0);
        }
        if (attempt == kMaxAttempts) {
            throw HostsError(HostsError::Action::Write, Kind::ChangedByOther, hostsPath_, 0,
                             lastChangeMissing
                                 ? "another program kept changing the file while it was being "
                                   "updated, and its last change may be missing; try again"
                                 : "another program kept changing the file while it was being "
                                   "updated; nothing was written, try again");
        }
    }
}

void HostsEngine::replaceFile(std::span<const std::string_view> tail) {
    const LinesToWrite contents{lvHosts_, tail, TerminatorOf(lineEnd_), text_->view()};
    ReplaceResult result = ReplaceFileContents(hostsPath_, stamp_, onDisk(), contents, writeOptions());
    if (result.displaced) {
        takeInDisplaced(std::move(*result.displaced), contents);
    }
}

// Another program changed the file after our final check, and our new file
// displaced its version. Its change is taken in by doing the operation again
// on its version, followed by what was added to our file since; or, where
// our file was rewritten since, on that file, followed by what the displaced
// version had added to the one we had checked.
void HostsEngine::takeInDisplaced(ByteBuffer displaced, const LinesToWrite& written) {
    FileSnapshot now = ReadFileSnapshot(hostsPath_);
    const std::string_view current = now.bytes.view();
    const std::uint64_t ourSize = written.byteCount();
    std::string_view base;
    std::string_view added;
    if (current.size() >= ourSize &&
        detail::DigestOf(current.substr(0, ourSize)) == detail::DigestOf(written)) {
        base = displaced.view();
        added = current.substr(ourSize);
    } else {
        base = current;
        const std::string_view checked = onDisk();
        if (displaced.view().starts_with(checked)) {
            added = displaced.view().substr(checked.size());
        }
    }
    const std::string_view joint =
        !base.empty() && base.back() != '\n' && !added.empty() ? TerminatorOf(lineEnd_) : "";
    ByteBuffer merged;
    merged.resize(base.size() + joint.size() + added.size());
    std::memcpy(merged.data(), base.data(), base.size());
    std::memcpy(merged.data() + base.size(), joint.data(), joint.size());
    std::memcpy(merged.data() + base.size() + joint.size(), added.data(), added.size());

    auto onDisk = std::make_unique<const ByteBuffer>(std::move(now.bytes));
    adopt(std::move(merged), now.stamp);
    onDisk_ = std::move(onDisk);
    displaced_ = true;
}

bool HostsEngine::Block(BlockMode mode) {
    return retryIfChanged([this, mode] {
        const auto& entries = BlockEntries();
        if (mode == BlockMode::UnlessBlocked && !onDisk_) {
            FillBlockList();
            markFound();
            if (FoundCount() == entries.size()) {
                CheckStatus();
                return false;
            }
        }
        try {
            RemoveEmptyLines();
            // Room for the lines read back below, so nothing can fail once
            // the file has been written.
            lvHosts_.reserve(lvHosts_.size() + entries.size() + 1);
            replaceFile(entries);
        } catch (...) {
            // The file is as it was read, and so are the lists again.
            restoreListsFromText();
            throw;
        }
        if (displaced_) {
            return true;
        }
        // The file now holds exactly these lines, each ended; reading it back
        // would give them followed by the empty line after the last end.
        lvHosts_.insert(lvHosts_.end(), entries.begin(), entries.end());
        lvHosts_.emplace_back();
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
                std::count_if(lvHosts_.begin(), lvHosts_.end(), [](std::string_view line) { return line.empty(); }));
            const bool onlyFinalEnd =
                empty == 1 && text_->view().ends_with('\n') && lvHosts_.back().empty();
            const bool unchanged = !onDisk_ && removed == 0 && (empty == 0 || onlyFinalEnd);
            RemoveEmptyLines();
            if (!unchanged) {
                replaceFile({});
            }
        } catch (...) {
            restoreListsFromText();
            throw;
        }
        if (!displaced_) {
            CheckStatus();
        }
        return removed;
    });
}

}  // namespace hushgate
