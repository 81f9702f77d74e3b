// libFuzzer target for reading icon and cursor directories and decoding the
// chosen frame (what AddImageFromStream does with such bytes before any
// image library sees them). Traps when a result breaks its promises, so that
// wrong answers count as findings too, not only memory errors.

#include <cstddef>
#include <cstdint>

#include "icon_bitmap.h"
#include "icon_directory.h"

using namespace hushgate::menuimage;

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(data, size);
    const bool looksLikeDirectory = LooksLikeIconDirectory(bytes);

    const auto entries = ReadIconDirectory(bytes);
    if (entries) {
        require(!entries->empty());
        require(kIconDirHeadSize + entries->size() * kIconDirEntrySize <= size);
    }

    // The main window's list size, a larger one, and the largest sum a
    // directory entry can reach.
    constexpr int kSizes[][2] = {{16, 16}, {48, 48}, {255, 255}};
    for (const auto& listSize : kSizes) {
        const auto chosen = entries ? ChooseIconEntry(*entries, listSize[0], listSize[1])
                                    : std::optional<std::size_t>();
        const auto frame = IconFromBytes(bytes, listSize[0], listSize[1]);
        if (!frame) {
            continue;
        }
        require(looksLikeDirectory && entries.has_value() && chosen.has_value());
        const IconDirEntry& e = (*entries)[*chosen];
        require(e.width + e.height > 0 && e.width + e.height <= listSize[0] + listSize[1]);
        require(static_cast<std::uint64_t>(e.imageOffset) + e.bytesInRes <= size);
        if (frame->isPng) {
            require(IsPngData(frame->png));
            require(frame->png.data() == data + e.imageOffset && frame->png.size() == e.bytesInRes);
        } else {
            require(frame->width >= 1 && frame->width <= kMaxIconFrameSide);
            require(frame->height >= 1 && frame->height <= kMaxIconFrameSide);
            require(frame->argb.size() == static_cast<std::size_t>(frame->width) *
                                              static_cast<std::size_t>(frame->height));
        }
    }
    return 0;
}
