#include "hosts_engine.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <unordered_map>
#include <utility>

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

std::string ReadFileText(const std::string& fileName) {
    return std::string(ReadFileSnapshot(fileName).bytes.view());
}

std::optional<NewContents> ResultOfChange(std::string_view verb) {
    const bool block = verb == "block-lf" || verb == "block-crlf";
    if (!block && verb != "unblock-lf" && verb != "unblock-crlf") {
        return std::nullopt;
    }
    const LineChange change = block ? LineChange::Block : LineChange::Unblock;
    const std::string_view terminator = verb.ends_with("crlf") ? "\r\n" : "\n";
    return NewContents{[change, terminator](const ReadAt& original, PieceSink& out) {
        LinesFound found;
        return RewriteLines(original, change, terminator, out, found);
    }};
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

void HostsEngine::LoadHostsList() {
    LinesFound lines;
    FileStamp stamp;
    std::vector<RecoveryNotice> notices;
    try {
        notices = TidyUpBeforeRead(hostsPath_, writeOptions(), [&](const OpenedFile& file) {
            stamp = file.stamp();
            lines = FindLines(file.reader());
        });
    } catch (const std::bad_alloc&) {
        throw HostsError::OutOfMemory(HostsError::Action::Read, hostsPath_, stamp.size);
    }
    tell(std::move(notices));
    lines_ = lines;
    stamp_ = stamp;
}

void HostsEngine::tell(std::vector<RecoveryNotice> notices) {
    for (RecoveryNotice& notice : notices) {
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
}

void HostsEngine::FillBlockList() {
    lvEntries_.clear();
    lvEntries_.reserve(kBlockEntryCount);
    for (std::string_view entry : BlockEntries()) {
        lvEntries_.push_back({entry, false});
    }
}

void HostsEngine::markFound() {
    for (std::size_t i = 0; i < lvEntries_.size(); ++i) {
        lvEntries_[i].found = lvEntries_[i].found || lines_.found[i];
    }
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

// Every try of an operation starts from the version on disk now, with
// what an interrupted run left tidied up first; the write reads it once.
// The writers' lock the tidy-up takes is held to the end of the operation:
// taken once, and no other run of ours changes the file in between.
template <typename Operation>
auto HostsEngine::retryIfChanged(Operation operation) {
    for (int attempt = 1;; ++attempt) {
        try {
            std::optional<decltype(operation())> result;
            std::exception_ptr failed;  // thrown on once what was tidied up is told
            tell(TidyUpBeforeRead(
                hostsPath_, writeOptions(), [&](const OpenedFile& file) { stamp_ = file.stamp(); },
                [&] {
                    try {
                        result = operation();
                    } catch (...) {
                        failed = std::current_exception();
                    }
                }));
            if (failed) {
                std::rethrow_exception(failed);
            }
            return *result;
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
            throw HostsError::OutOfMemory(HostsError::Action::Write, hostsPath_, stamp_.size);
        }
    }
}

namespace {

// Calls f(text, lineEnd) for each line of `text`; the line end is empty
// for a last line that has none.
template <typename F>
void forEachLine(std::string_view text, F f) {
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            f(text, std::string_view());
            return;
        }
        const std::size_t textEnd = lf > 0 && text[lf - 1] == '\r' ? lf - 1 : lf;
        f(text.substr(0, textEnd), text.substr(textEnd, lf + 1 - textEnd));
        text.remove_prefix(lf + 1);
    }
}

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
        forEachLine(checked, [&](std::string_view line, std::string_view) { ++present[line]; });
    }
    std::string added;
    forEachLine(candidates, [&](std::string_view line, std::string_view lineEnd) {
        if (auto it = present.find(line); it != present.end() && it->second > 0) {
            --it->second;
        } else if (!line.empty() && !FindBlockEntry(line)) {
            (added += line) += lineEnd.empty() ? terminator : lineEnd;
        }
    });
    return added;
}

}  // namespace

// Another program changed the file after our final check (appended to it,
// or put a version of its own in place) and our new file displaced that
// version. What it added is added to the file now in place, as that program
// did: an operation done again would leave our file without those lines
// for longer, for yet another program to build on. The version is compared
// with what we wrote, which holds every line of the version we read that
// the comparison does not leave out anyway.
HostsEngine::Outcome HostsEngine::replaceFile(LineChange change, bool always) {
    const std::string_view terminator = TerminatorOf(lineEnd_);
    LinesFound seen;
    bool passed = false;  // `seen` is the whole file's
    const NewContents contents{[&](const ReadAt& original, PieceSink& out) {
        const int err = RewriteLines(original, change, terminator, out, seen);
        passed = err == 0;
        const bool needed = change == LineChange::Block
                                ? std::ranges::find(seen.found, false) != seen.found.end()
                                : seen.entryLines > 0 || seen.emptyLines > 0;
        return err == 0 && !always && !needed ? NewContents::kLeaveAsIs : err;
    }};
    WriteOptions options = writeOptions();
    options.verb = std::string(change == LineChange::Block ? "block" : "unblock") +
                   (lineEnd_ == LineEnd::CrLf ? "-crlf" : "-lf");
    std::string seenVersion;
    bool tookIn = false;
    options.displaced = [&](std::string_view version, std::string_view written) {
        keepLinesOfOthers(
            linesAddedIn(version, tookIn ? std::string_view(seenVersion) : written, terminator));
        seenVersion.assign(version);
        tookIn = true;
    };
    // Appended to in place as we wrote: the file holds those bytes as well.
    options.keptAppended = [&] { tookIn = true; };
    bool written = false;
    try {
        written = ReplaceFileContents(hostsPath_, stamp_, contents, options);
    } catch (...) {
        // The file is as it was: the list as the pass through it found it,
        // or, cut short, as the last read did.
        if (passed) {
            lines_ = seen;
        }
        FillBlockList();
        markFound();
        throw;
    }
    lines_ = seen;
    return !written ? Outcome::LeftAsIs : tookIn ? Outcome::TookIn : Outcome::Written;
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
        FillBlockList();
        // A file our Block left as it was needs no pass over it to tell.
        if (mode == BlockMode::UnlessBlocked) {
            const OpenedFile file(hostsPath_);
            if (file.stamp() == stamp_ && EndsWithBlockEntries(file.reader(), stamp_.size)) {
                lines_ = {};
                lines_.found.fill(true);
                lines_.entryLines = kBlockEntryCount;
                CheckStatus();
                return false;
            }
        }
        const Outcome outcome = replaceFile(LineChange::Block, mode == BlockMode::Always);
        if (outcome == Outcome::Written || (outcome == Outcome::TookIn && !readBack())) {
            // The file holds what was written: no need to read it.
            lines_.found.fill(true);
            lines_.entryLines += kBlockEntryCount;
            lines_.emptyLines = 0;
        }
        FillBlockList();
        CheckStatus();
        return outcome != Outcome::LeftAsIs;
    });
}

std::size_t HostsEngine::Unblock() {
    return retryIfChanged([this] {
        FillBlockList();
        // A file with no entry line and no empty line is left as it is.
        const Outcome outcome = replaceFile(LineChange::Unblock, false);
        const std::size_t removed = lines_.entryLines;
        if (outcome != Outcome::LeftAsIs) {
            lines_ = {};
            if (outcome == Outcome::TookIn) {
                readBack();
            }
        }
        CheckStatus();
        return removed;
    });
}

}  // namespace hushgate
