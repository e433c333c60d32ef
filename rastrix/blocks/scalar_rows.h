// Row draws a run or a pixel at a time: the draws of targets without
// vector registers, and the short rows and row ends of those with them.
#pragma once

#include "blocks/pixel_kinds.h"

namespace rx {

// Each row is cut into runs of opaque pixels, and every run is stored whole.
template <class Px>
void plain_row(uint8_t* row, const uint8_t* block, int32_t count) {
  int32_t n = 0;
  while (n < count) {
    const int32_t start = Px::skip_clear(block, n, count);
    n = Px::skip_opaque(block, start, count);
    Px::store_run(row + static_cast<int64_t>(start) * Px::kBufferBytes,
                  block + static_cast<int64_t>(start) * Px::kBlockBytes, n - start);
  }
}

template <class Px>
void mirrored_row(uint8_t* row, const uint8_t* block, int32_t count) {
  for (int32_t n = 0; n < count; ++n) {
    const uint32_t v = Px::load_block(block - static_cast<int64_t>(n) * Px::kBlockBytes);
    if (v != 0) Px::store_buffer(row + static_cast<int64_t>(n) * Px::kBufferBytes, v);
  }
}

}  // namespace rx
