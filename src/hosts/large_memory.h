#pragma once

// Memory for whole files, where one must be held (a rewrite in place, a
// recovery record). Hosts files of millions of lines are common with public
// block lists; on Linux such buffers are backed by huge pages, which saves
// the page faults of touching a large, fresh allocation one small page at a time.

#include <cstddef>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace hushgate {

// Never returns null; throws std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* memory, std::size_t bytes) noexcept;

// A growable byte buffer that, unlike std::string, does not zero what it is
// about to overwrite anyway.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer() { FreeLarge(data_, capacity_); }
    ByteBuffer(ByteBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    ByteBuffer& operator=(ByteBuffer&& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {data_, size_}; }

    // Keeps the first bytes; bytes beyond the old size are uninitialised.
    void resize(std::size_t size) {
        if (size > capacity_) {
            char* bigger = static_cast<char*>(AllocateLarge(size));
            if (size_ > 0) {
                std::memcpy(bigger, data_, size_);
            }
            FreeLarge(data_, capacity_);
            data_ = bigger;
            capacity_ = size;
        }
        size_ = size;
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace hushgate
