// Flic (FLI/FLC) writer for test fixtures and the demo's picture generator.
// Low level: frames are assembled from chunks the caller chooses, so tests
// can build exactly the streams they need, broken ones included. High
// level: encode_flc() turns a list of 8-bit frames into a looping FLC.
#pragma once

#include <cstdint>
#include <vector>

#include "rastrix.h"

namespace rx::support {

using Bytes = std::vector<uint8_t>;

// One sub-chunk: 6-byte header (size, type) then the data. size_override
// lets a test write a size that does not match the data.
Bytes sub_chunk(uint16_t type, const Bytes& data, int64_t size_override = -1);
// A frame chunk holding the given sub-chunks (count written as their number
// unless count_override >= 0).
Bytes frame_chunk(const std::vector<Bytes>& sub_chunks, int count_override = -1);
Bytes prefix_chunk(const Bytes& body);

// Chunk bodies (the data after the 6-byte sub-chunk header).
struct PalettePacket {
  uint8_t skip = 0;
  std::vector<uint8_t> rgb;  // count x 3 bytes; 256 entries are written as count 0
};
Bytes palette_body(const std::vector<PalettePacket>& packets);
Bytes byte_run_body(const uint8_t* pixels, int width, int height);       // whole frame
Bytes copy_body(const uint8_t* pixels, int width, int height);
// Deltas between two frames of the same size.
Bytes delta_fli_body(const uint8_t* previous, const uint8_t* next, int width, int height);
Bytes delta_flc_body(const uint8_t* previous, const uint8_t* next, int width, int height);

// A whole file: 128-byte header then the chunks as given. flc selects the
// FLC magic (0xAF12) and a 32-bit speed in milliseconds; otherwise FLI
// (0xAF11) with speed in 1/70 s.
Bytes flic_file(bool flc, int width, int height, int frames, uint32_t speed,
                const std::vector<Bytes>& chunks);

// A looping FLC: first frame COLOR_256 + BYTE_RUN, then word deltas, then a
// ring frame that turns the last frame back into the first. frames are
// width x height palette indices each; palette is 768 bytes.
Bytes encode_flc(const std::vector<std::vector<uint8_t>>& frames, int width, int height,
                 const std::vector<uint8_t>& palette, uint32_t speed_ms);

}  // namespace rx::support
