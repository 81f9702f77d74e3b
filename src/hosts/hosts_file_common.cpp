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

int LinesToWrite::forEachPiece(const std::function<int(std::string_view)>& put) const {
    const auto address = [](const char* p) { return reinterpret_cast<std::uintptr_t>(p); };
    const std::uintptr_t sourceBegin = address(source.data());
    const std::uintptr_t sourceEnd = sourceBegin + source.size();
    const auto inSource = [&](std::string_view line) {
        return address(line.data()) >= sourceBegin && address(line.data()) + line.size() <= sourceEnd;
    };
    for (auto part : {head, tail}) {
        std::size_t i = 0;
        while (i < part.size()) {
            // Extend the run while the next line starts right after this
            // line's terminator in the source.
            const char* runStart = part[i].data();
            std::size_t runSize = part[i].size();
            while (i + 1 < part.size() && inSource(part[i]) && inSource(part[i + 1]) &&
                   address(part[i + 1].data()) ==
                       address(part[i].data()) + part[i].size() + terminator.size() &&
                   std::string_view(part[i].data() + part[i].size(), terminator.size()) ==
                       terminator) {
                runSize += terminator.size() + part[i + 1].size();
                ++i;
            }
            if (int result = put(std::string_view(runStart, runSize))) {
                return result;
            }
            if (int result = put(terminator)) {
                return result;
            }
            ++i;
        }
    }
    return 0;
}

}  // namespace hushgate
