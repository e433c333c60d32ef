// Two 16-bit pixels per lookup: the 5-6-5 values of every pair of flic
// indices, so literal runs cost one lookup per two pixels.
#pragma once

#include <cstdint>

namespace rx::flic {

// Entry first | second << 8 holds PaletteMap's first value in its low
// half and second's in its high half. Brought in step with PaletteMap on
// every call, rewriting only what changed since the last.
const uint32_t* rgb565_pairs();

}  // namespace rx::flic
