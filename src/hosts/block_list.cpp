#include "block_list.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace hushgate {

namespace {

constexpr std::array<std::string_view, kBlockEntryCount> kEntries = {
    "127.0.0.1 www.facebook.com",
    "127.0.0.1 facebook.com",
    "127.0.0.1 m.facebook.com",
    "127.0.0.1 login.facebook.com",
    "127.0.0.1 upload.facebook.com",
    "127.0.0.1 apps.facebook.com",
    "127.0.0.1 developers.facebook.com",
    "127.0.0.1 blog.facebook.com",
    "127.0.0.1 business.facebook.com",
    "127.0.0.1 pixel.facebook.com",
    "127.0.0.1 mbasic.facebook.com",
    "127.0.0.1 register.facebook.com",
    "127.0.0.1 ssl.facebook.com",
    "127.0.0.1 fbstatic-a.akamaihd.net",
    "127.0.0.1 fbcdn.com",
    "127.0.0.1 www.fbcdn.com",
    "127.0.0.1 static.ak.fbcdn.net",
    "127.0.0.1 static.ak.connect.facebook.com",
    "127.0.0.1 connect.facebook.net",
    "127.0.0.1 www.connect.facebook.net",
    "127.0.0.1 touch.facebook.com",
    // One host per locale code (pt-pt deliberately before pt-br).
    "127.0.0.1 ar-ar.facebook.com",
    "127.0.0.1 bg-bg.facebook.com",
    "127.0.0.1 ca-es.facebook.com",
    "127.0.0.1 cs-cz.facebook.com",
    "127.0.0.1 da-dk.facebook.com",
    "127.0.0.1 de-de.facebook.com",
    "127.0.0.1 el-gr.facebook.com",
    "127.0.0.1 en-gb.facebook.com",
    "127.0.0.1 en-pi.facebook.com",
    "127.0.0.1 es-es.facebook.com",
    "127.0.0.1 es-la.facebook.com",
    "127.0.0.1 et-ee.facebook.com",
    "127.0.0.1 fa-ir.facebook.com",
    "127.0.0.1 fi-fi.facebook.com",
    "127.0.0.1 fr-ca.facebook.com",
    "127.0.0.1 fr-fr.facebook.com",
    "127.0.0.1 gl-es.facebook.com",
    "127.0.0.1 he-il.facebook.com",
    "127.0.0.1 hr-hr.facebook.com",
    "127.0.0.1 hu-hu.facebook.com",
    "127.0.0.1 id-id.facebook.com",
    "127.0.0.1 it-it.facebook.com",
    "127.0.0.1 ja-jp.facebook.com",
    "127.0.0.1 ko-kr.facebook.com",
    "127.0.0.1 lt-lt.facebook.com",
    "127.0.0.1 lv-lv.facebook.com",
    "127.0.0.1 mk-mk.facebook.com",
    "127.0.0.1 ms-my.facebook.com",
    "127.0.0.1 nb-no.facebook.com",
    "127.0.0.1 pl-pl.facebook.com",
    "127.0.0.1 pt-pt.facebook.com",
    "127.0.0.1 pt-br.facebook.com",
    "127.0.0.1 ro-ro.facebook.com",
    "127.0.0.1 ru-ru.facebook.com",
    "127.0.0.1 sk-sk.facebook.com",
    "127.0.0.1 sl-si.facebook.com",
    "127.0.0.1 sq-al.facebook.com",
    "127.0.0.1 sr-rs.facebook.com",
    "127.0.0.1 sv-se.facebook.com",
    "127.0.0.1 th-th.facebook.com",
    "127.0.0.1 tl-ph.facebook.com",
    "127.0.0.1 tr-tr.facebook.com",
    "127.0.0.1 uk-ua.facebook.com",
    "127.0.0.1 vi-vn.facebook.com",
    "127.0.0.1 zh-cn.facebook.com",
    "127.0.0.1 zh-hk.facebook.com",
    "127.0.0.1 zh-tw.facebook.com",
};

static_assert(std::ranges::all_of(kEntries, [](std::string_view entry) {
    return entry.size() <= kLongestBlockEntry;
}));

// The entries one after another, each followed by a line end, made when the
// program is built: read-only data, nothing to make or keep on each run.
template <std::size_t kTerminatorSize>
constexpr auto joinedEntries(const char (&terminator)[kTerminatorSize + 1]) {
    constexpr std::size_t size = [] {
        std::size_t n = 0;
        for (std::string_view entry : kEntries) {
            n += entry.size() + kTerminatorSize;
        }
        return n;
    }();
    std::array<char, size> text{};
    std::size_t at = 0;
    for (std::string_view entry : kEntries) {
        for (char c : entry) {
            text[at++] = c;
        }
        for (std::size_t i = 0; i < kTerminatorSize; ++i) {
            text[at++] = terminator[i];
        }
    }
    return text;
}

constexpr auto kJoinedLf = joinedEntries<1>("\n");
constexpr auto kJoinedCrLf = joinedEntries<2>("\r\n");
static_assert(kJoinedCrLf.size() == kLongestJoinedBlockEntries);

constexpr auto kSizeOf = [](std::string_view entry) { return entry.size(); };
constexpr std::size_t kShortest = std::ranges::min(kEntries, {}, kSizeOf).size();
constexpr std::size_t kLongest = std::ranges::max(kEntries, {}, kSizeOf).size();
static_assert(kShortest >= kLoopbackPrefix.size() + 8);

// Eight bytes of `text` from `at` on, the first the lowest (a single load
// once compiled).
constexpr std::uint64_t eightBytesAt(std::string_view text, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(text[at + i])} << (8 * i);
    }
    return value;
}

// The entries are looked up in a table made when the program is built, by
// open addressing: no memory to set up on each run. What tells them apart
// is what follows the loopback address they share, their end and length.
constexpr int kSlotBits = 8;
constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
static_assert(kSlots >= 2 * kBlockEntryCount);

constexpr std::size_t slotOf(std::string_view line) {
    const std::uint64_t mixed =
        (eightBytesAt(line, kLoopbackPrefix.size()) ^
         (eightBytesAt(line, line.size() - 8) * 0x9E3779B97F4A7C15u) ^ line.size()) *
        0xFF51AFD7ED558CCDu;
    return static_cast<std::size_t>(mixed >> (64 - kSlotBits));
}

// Each slot holds an entry's index plus one, or 0 when empty.
constexpr auto kTable = [] {
    std::array<std::uint8_t, kSlots> table{};
    for (std::size_t i = 0; i < kEntries.size(); ++i) {
        std::size_t slot = slotOf(kEntries[i]);
        while (table[slot] != 0) {
            slot = (slot + 1) % kSlots;
        }
        table[slot] = static_cast<std::uint8_t>(i + 1);
    }
    return table;
}();

}  // namespace

const std::array<std::string_view, kBlockEntryCount>& BlockEntries() {
    return kEntries;
}

std::string_view JoinedBlockEntries(std::string_view terminator) {
    if (terminator == "\n") {
        return {kJoinedLf.data(), kJoinedLf.size()};
    }
    if (terminator == "\r\n") {
        return {kJoinedCrLf.data(), kJoinedCrLf.size()};
    }
    return {};
}

std::optional<std::size_t> FindBlockEntry(std::string_view line) {
    // Most lines of a large hosts file are ruled out by length or prefix
    // without hashing them.
    if (line.size() < kShortest || line.size() > kLongest || !line.starts_with(kLoopbackPrefix)) {
        return std::nullopt;
    }
    for (std::size_t slot = slotOf(line);; slot = (slot + 1) % kSlots) {
        const std::size_t held = kTable[slot];
        if (held == 0) {
            return std::nullopt;
        }
        if (kEntries[held - 1] == line) {
            return held - 1;
        }
    }
}

}  // namespace hushgate
