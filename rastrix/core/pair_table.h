// Two 16-bit pixels per lookup: the 5-6-5 values of every pair of palette
// indices, so flic runs and PCX lines cost one lookup per two pixels.
#pragma once

#include <cstdint>

namespace rx {

// Entry first | second << 8 holds PaletteMap's first value in its low
// half and second's in its high half. Brought in step with PaletteMap on
// every call, rewriting only what changed since the last.
const uint32_t* rgb565_pairs();

}  // namespace rx
