// Pixel memory: zeroed and aligned at every size, small blocks and the
// mapped huge-page ones alike, and each byte of it writable.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/pixel_memory.h"

namespace {

TEST(PixelMemory, ZeroedAlignedAndWritableAtEverySize) {
  const size_t sizes[] = {1, 31, 4096, (size_t{8} << 20) - 1, size_t{8} << 20, (size_t{36} << 20) + 7};
  for (size_t bytes : sizes) {
    rx::platform::PixelMemory m = rx::platform::reserve_pixels(bytes);
    ASSERT_NE(m.pixels, nullptr) << bytes;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(m.pixels) % 32, 0u) << bytes;
    for (size_t at : {size_t{0}, bytes / 2, bytes - 1}) EXPECT_EQ(m.pixels[at], 0) << bytes << " at " << at;
    for (size_t at : {size_t{0}, bytes / 2, bytes - 1}) m.pixels[at] = 0xA5;
    rx::platform::release_pixels(m);
  }
}

}  // namespace
