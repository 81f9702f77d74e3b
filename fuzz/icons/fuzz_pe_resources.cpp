// libFuzzer target: the PE resource reader and the icon file header, fed
// arbitrary bytes. Besides the sanitizers' checks it traps when an answer
// breaks a promise of the reader (an icon outside the file, out of order,
// empty) or of MakeIconFile (a header that does not fit its image).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "icon_file.h"
#include "pe_resources.h"

namespace {

void checkIconFile(std::span<const std::uint8_t> image) {
    const auto file = hushgate::MakeIconFile(image);
    if (!file.empty() && file.size() != 22 + image.size()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    checkIconFile(file);

    const auto icons = hushgate::FindIconImages(file);
    if (!icons) {
        return 0;
    }
    // The groups' data and the picking from it must stay inside the file too.
    std::vector<hushgate::LibraryImage> sizes;
    for (const hushgate::PeIconImage& icon : *icons) {
        sizes.push_back({icon.number, static_cast<int>(icon.size % 300)});
    }
    for (const auto& picked : hushgate::PickIconFrames(sizes, hushgate::FindIconGroups(file), 24)) {
        if (picked.image >= sizes.size() || picked.frames.empty()) {
            __builtin_trap();
        }
    }
    int previous = -1;
    for (const hushgate::PeIconImage& icon : *icons) {
        if (icon.size == 0 || icon.fileOffset > size || icon.size > size - icon.fileOffset ||
            icon.number <= previous) {
            __builtin_trap();
        }
        previous = icon.number;
        checkIconFile(file.subspan(icon.fileOffset, icon.size));
    }
    return 0;
}
