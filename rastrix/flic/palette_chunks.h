// Palette chunks (COLOR_256, COLOR_64) and the 8-bit colour reduction.
// The flic palette state is one for the whole library and outlives flics.
#pragma once

#include <cstdint>

namespace rx::flic {

class FlicStream;

// Reads the palette chunk at the stream (its data, after the 6-byte
// header) into the library palette; six_bit for COLOR_64. At 8 bits the
// reduction into the library palette waits for apply_pending_reduction().
void palette_chunk(FlicStream& stream, bool six_bit, int32_t flags);

// Reduces and loads the palette read by the last palette chunks at 8 bits,
// if any; the frame player calls it before pixels and at the frame's end.
void apply_pending_reduction();

// flic index -> palette entry, for the 8-bit row writer.
const uint8_t* remap_table();

// The 8-bit reduction over the stored palette: merges the flic's 256
// colours down to 236, sets the remap table to 10..245 and returns the
// 236 surviving colours (or, with no_reduce, the flic's entries 10..245
// with an identity remap table).
const uint8_t* reduce_to_236(bool no_reduce);

}  // namespace rx::flic
