// Memory for bitmap pixels: zeroed, 32-byte aligned, and for big pictures
// backed by huge pages, so that a picture of many megapixels is not paid for
// in thousands of page faults as it is first drawn.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rx::platform {

struct PixelMemory {
  void* block;      // what was reserved
  size_t reserved;  // its size, for the release
  uint8_t* pixels;  // the aligned start, zeroed
};

// Returns a block whose pixels are nullptr when there is no memory.
PixelMemory reserve_pixels(size_t bytes);
void release_pixels(const PixelMemory& memory);

}  // namespace rx::platform
