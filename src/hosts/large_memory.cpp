#include "large_memory.h"

#include <cstdint>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace hushgate {

#ifdef __linux__

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundedUp(std::size_t bytes) {
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kHugePage) {
        if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) {
            return memory;
        }
        throw std::bad_alloc();
    }
    if (bytes > SIZE_MAX - 2 * kHugePage) {
        throw std::bad_alloc();
    }
    // Map one huge page more than needed and cut it back to an aligned
    // region, since only aligned 2 MiB ranges can become huge pages.
    const std::size_t size = roundedUp(bytes);
    void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    if (aligned > start) {
        ::munmap(raw, aligned - start);
    }
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size) {
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
    // Only advice: without transparent huge pages it is ordinary memory.
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void FreeLarge(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr) {
        return;
    }
    if (bytes < kHugePage) {
        std::free(memory);
    } else {
        ::munmap(memory, roundedUp(bytes));
    }
}

#else

void* AllocateLarge(std::size_t bytes) {
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) {
        return memory;
    }
    throw std::bad_alloc();
}

void FreeLarge(void* memory, std::size_t) noexcept {
    std::free(memory);
}

#endif

}  // namespace hushgate
