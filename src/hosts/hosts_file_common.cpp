#include <algorithm>
#include <cstdint>
#include <cstring>

#include "buffered_io.h"
#include "hosts_error.h"
#include "hosts_file.h"

namespace hushgate {

ReadAt MemoryReader(std::string_view bytes) {
    return [bytes](std::uint64_t at, char* data, std::size_t room) -> std::size_t {
        if (at >= bytes.size()) {
            return 0;
        }
        const std::size_t n = std::min<std::uint64_t>(room, bytes.size() - at);
        std::memcpy(data, bytes.data() + at, n);
        return n;
    };
}

std::size_t ReadFull(const ReadAt& read, std::uint64_t at, char* data, std::size_t room) {
    std::size_t used = 0;
    while (used < room) {
        const std::size_t n = read(at + used, data + used, room - used);
        if (n == 0) {
            break;
        }
        used += n;
    }
    return used;
}

FileSnapshot ReadFileSnapshot(const std::string& path) {
    const OpenedFile file(path);
    FileSnapshot snapshot;
    snapshot.stamp = file.stamp();
    snapshot.bytes =
        detail::ReadToEnd(file.stamp().size, path, HostsError::Action::Read, file.reader());
    return snapshot;
}

NewContents NewContents::Bytes(std::string_view bytes) {
    return {[bytes](const ReadAt&, PieceSink& out) {
        const int err = out.put(bytes);
        return err != 0 ? err : out.release();
    }};
}

std::string NewContents::text(const ReadAt& original) const {
    struct Collector : PieceSink {
        std::string text;
        int put(std::string_view piece) override {
            text += piece;
            return 0;
        }
    } collector;
    produce(original, collector);
    return std::move(collector.text);
}

bool NewContents::leavesAsIs(const ReadAt& original) const {
    struct Discard : PieceSink {
        int put(std::string_view) override { return 0; }
    } discard;
    return produce(original, discard) == kLeaveAsIs;
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
