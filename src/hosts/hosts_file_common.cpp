#include <cstdint>

#include "hosts_error.h"
#include "hosts_file.h"

namespace hushgate {

namespace {

std::uintptr_t address(const char* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

// Where a line of the source ends, and the line end that follows it there.
struct SourceLines {
    std::uintptr_t begin;
    std::uintptr_t end;
    std::string_view added;

    bool holds(std::string_view line) const {
        return address(line.data()) >= begin && address(line.data()) + line.size() <= end;
    }
    // A line of the source keeps its own LF or CR LF; a line we add, or a
    // last line that had none, gets ours.
    std::string_view endOf(std::string_view line) const {
        if (!holds(line)) {
            return added;
        }
        const char* after = line.data() + line.size();
        const std::uintptr_t left = end - address(after);
        if (left >= 1 && after[0] == '\n') {
            return {after, 1};
        }
        if (left >= 2 && after[0] == '\r' && after[1] == '\n') {
            return {after, 2};
        }
        return added;
    }
};

}  // namespace

LinesToWrite LinesToWrite::Bytes(const std::string_view& bytes) {
    return {std::span<const std::string_view>(&bytes, 1), {}, {}, {}};
}

std::uint64_t LinesToWrite::byteCount() const {
    const SourceLines lines{address(source.data()), address(source.data()) + source.size(),
                            terminator};
    std::uint64_t total = 0;
    for (auto part : {head, tail}) {
        for (std::string_view line : part) {
            total += line.size() + lines.endOf(line).size();
        }
    }
    return total;
}

int LinesToWrite::forEachPiece(const std::function<int(std::string_view)>& put) const {
    const SourceLines lines{address(source.data()), address(source.data()) + source.size(),
                            terminator};
    // True when `end` is the line end that follows `line` in the source.
    const auto endFollows = [&](std::string_view line, std::string_view end) {
        return lines.holds(line) && end.data() == line.data() + line.size();
    };
    for (auto part : {head, tail}) {
        std::size_t i = 0;
        while (i < part.size()) {
            // Extend the run while the next line starts right after this
            // line's own line end in the source.
            const char* runStart = part[i].data();
            std::string_view end = lines.endOf(part[i]);
            std::size_t runSize = part[i].size();
            while (i + 1 < part.size() && endFollows(part[i], end) && lines.holds(part[i + 1]) &&
                   part[i + 1].data() == end.data() + end.size()) {
                runSize += end.size() + part[i + 1].size();
                ++i;
                end = lines.endOf(part[i]);
            }
            // Where the run's last line end follows it in the source, both go at once.
            if (endFollows(part[i], end)) {
                if (int result = put(std::string_view(runStart, runSize + end.size()))) {
                    return result;
                }
            } else {
                if (int result = put(std::string_view(runStart, runSize))) {
                    return result;
                }
                if (int result = end.empty() ? 0 : put(end)) {
                    return result;
                }
            }
            ++i;
        }
    }
    return 0;
}

std::string RecoveryNotice::message() const {
    const std::string shown = EscapeControlCharacters(file);
    const std::string other = EscapeControlCharacters(tornCopy);
    switch (what) {
        case What::SetAside:
            return "A record of an interrupted change of " + shown +
                   " does not fit the file as it is; the file was left alone and the record set "
                   "aside as " +
                   other + ".";
        case What::Ignored:
            return "The record " + other + " of a change of " + shown +
                   " cannot be trusted (another owner, or open to others) and was ignored.";
        case What::Undone:
            break;
    }
    return "An interrupted change of " + shown + " was undone; the damaged copy was kept as " +
           other + ".";
}

}  // namespace hushgate
