// Pixel writers: one per picture variant and buffer depth, each turning the
// columns of a decoded scan line into pixels of one buffer row.
#pragma once

#include <cstdint>

#include "pcx/pcx_header.h"

namespace rx::pcx {

// Converts columns first .. first + count - 1 of a decoded scan line whose
// planes are bytes_per_line bytes long, writing count pixels at row.
using PixelWriter = void (*)(const uint8_t* line, int32_t bytes_per_line, int32_t first,
                             int32_t count, uint8_t* row);

// The writer of a variant for the depth index (0..3 for 8, 16, 24, 32
// bits); null when the combination is not supported.
PixelWriter choose_writer(Variant variant, int32_t depth_index);

}  // namespace rx::pcx
