#pragma once

#include <cstdint>
#include <string>

namespace hushgate {

// config.ini and the language files are a few kilobytes. Reading one must
// never hang the window's start (a FIFO in its place), nor fill memory (a link
// to /dev/zero), nor take seconds (a huge file): only a regular file is read,
// opened so that nothing blocks, and only up to a limit.
inline constexpr std::uint64_t kMaxSmallFileSize = 1024 * 1024;

struct SmallFile {
    enum class Outcome {
        Read,
        Missing,     // nothing of that name (or a folder on the way is missing)
        NotRegular,  // a folder, FIFO, device, socket
        TooLarge,    // more than the limit
        Unreadable,  // the system refused to open or read it
    };
    Outcome outcome = Outcome::Missing;
    std::string bytes;   // the whole file when Read
    std::string reason;  // why not, in the system's words where it gave any

    bool read() const { return outcome == Outcome::Read; }
};

// The file at `path` (UTF-8 on Windows), whole. Never throws.
SmallFile ReadSmallFile(const std::string& path, std::uint64_t limit = kMaxSmallFileSize);

}  // namespace hushgate
