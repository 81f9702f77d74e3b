#include "hosts_file.h"

namespace hushgate {

std::uint64_t LinesToWrite::byteCount() const {
    std::uint64_t total = (head.size() + tail.size()) * terminator.size();
    for (std::string_view line : head) {
        total += line.size();
    }
    for (std::string_view line : tail) {
        total += line.size();
    }
    return total;
}

}  // namespace hushgate
