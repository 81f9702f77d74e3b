#include "hosts_engine.h"

#include <algorithm>
#include <cstring>

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

LineList SplitLines(std::string_view text, LineEnd lineEnd) {
    LineList lines;
    if (text.empty()) {
        return lines;
    }
    const bool crlf = lineEnd == LineEnd::CrLf;
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
    const char* searchFrom = begin;
    while (const void* found = std::memchr(searchFrom, '\n', static_cast<std::size_t>(end - searchFrom))) {
        const char* lf = static_cast<const char*>(found);
        searchFrom = lf + 1;
        // In CR LF mode a LF alone is part of the line's text.
        if (crlf && (lf == lineStart || lf[-1] != '\r')) {
            continue;
        }
        const char* lineEnd_ = crlf ? lf - 1 : lf;
        lines.emplace_back(lineStart, static_cast<std::size_t>(lineEnd_ - lineStart));
        lineStart = lf + 1;
    }
    lines.emplace_back(lineStart, static_cast<std::size_t>(end - lineStart));
    return lines;
}

std::string ReadFileText(const std::string& fileName) {
    return std::string(ReadFileSnapshot(fileName).bytes.view());
}

HostsEngine::HostsEngine(std::string hostsPath, LineEnd lineEnd)
    : hostsPath_(std::move(hostsPath)), lineEnd_(lineEnd) {
    FillBlockList();
}

void HostsEngine::setStatusHandlers(std::function<void()> showBlocked,
                                    std::function<void()> showUnblocked) {
    showBlocked_ = std::move(showBlocked);
    showUnblocked_ = std::move(showUnblocked);
}

void HostsEngine::LoadHostsList() {
    FileSnapshot snapshot = ReadFileSnapshot(hostsPath_);
    // The buffer lives on the heap, so the views stay valid when it moves.
    auto text = std::make_unique<const ByteBuffer>(std::move(snapshot.bytes));
    LineList lines = SplitLines(text->view(), lineEnd_);
    lvHosts_ = std::move(lines);
    text_ = std::move(text);
    stamp_ = snapshot.stamp;
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
        lvHosts_ = SplitLines(text_->view(), lineEnd_);
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
    for (int attempt = 1;; ++attempt) {
        try {
            return operation();
        } catch (const HostsError& error) {
            if (error.kind() != HostsError::Kind::ChangedByOther) {
                throw;
            }
            if (attempt == kMaxAttempts) {
                throw HostsError(error.action(), error.kind(), error.path(), 0,
                                 "another program kept changing the file while it was being "
                                 "updated; nothing was written, try again");
            }
        }
    }
}

void HostsEngine::replaceFile(std::span<const std::string_view> tail) {
    LinesToWrite contents{lvHosts_, tail, TerminatorOf(lineEnd_), text_->view()};
    ReplaceFileContents(hostsPath_, stamp_, text_->view(), contents, beforeReplace_);
}

void HostsEngine::Block() {
    retryIfChanged([this] {
        LoadHostsList();
        const auto& entries = BlockEntries();
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
        // The file now holds exactly these lines, each ended; reading it back
        // would give them followed by the empty line after the last end.
        lvHosts_.insert(lvHosts_.end(), entries.begin(), entries.end());
        lvHosts_.emplace_back();
        FillBlockList();
        CheckStatus();
    });
}

std::size_t HostsEngine::Unblock() {
    return retryIfChanged([this] {
        LoadHostsList();
        std::size_t removed = 0;
        try {
            FillBlockList();
            removed = std::erase_if(
                lvHosts_, [](std::string_view line) { return FindBlockEntry(line).has_value(); });
            RemoveEmptyLines();
            replaceFile({});
        } catch (...) {
            restoreListsFromText();
            throw;
        }
        CheckStatus();
        return removed;
    });
}

}  // namespace hushgate
