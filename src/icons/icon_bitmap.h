// Decoding of one icon or cursor frame: a device-independent bitmap (header,
// palette, colour rows and the 1-bit transparency mask) or an embedded PNG.
// Standard library only.
#pragma once

#include <optional>

#include "icon_directory.h"

namespace hushgate::menuimage {

// The largest frame accepted, in either direction; icon frames are at most
// 256 pixels wide and high.
inline constexpr int kMaxIconFrameSide = 256;

// True when the data starts with the PNG file signature.
bool IsPngData(Bytes data);

// One frame's data (exactly the entry's bytes). A PNG is handed back as such;
// a bitmap is decoded to pixels. Nothing when the data is not a frame this
// reader understands or is shorter than its header says.
std::optional<IconFrame> DecodeIconFrame(Bytes data);

}  // namespace hushgate::menuimage
