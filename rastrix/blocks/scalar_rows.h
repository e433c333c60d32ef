// Row draws a run or a pixel at a time: the draws of targets without
// vector registers, and the short rows and row ends of those with them.
#pragma once

#include "blocks/block_pixels.h"

namespace rx {

// Each row is cut into runs of opaque pixels, and every run is stored whole.
template <class Px>
void plain_row(uint8_t* row, const uint8_t* block, int32_t count) {
  using B = BlockPixels<Px>;
  int32_t n = 0;
  while (n < count) {
    const int32_t start = B::skip_clear(block, n, count);
    n = B::skip_opaque(block, start, count);
    B::store_run(row + static_cast<int64_t>(start) * B::kBufferBytes,
                 block + static_cast<int64_t>(start) * B::kBlockBytes, n - start);
  }
}

template <class Px>
void mirrored_row(uint8_t* row, const uint8_t* block, int32_t count) {
  using B = BlockPixels<Px>;
  for (int32_t n = 0; n < count; ++n) {
    const uint32_t v = B::load_block(block - static_cast<int64_t>(n) * B::kBlockBytes);
    if (v != 0) B::store_buffer(row + static_cast<int64_t>(n) * B::kBufferBytes, v);
  }
}

}  // namespace rx
