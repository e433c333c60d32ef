// How an image block holds the pixels of a buffer depth: as the buffer does
// at 16 and 24 bits; at 32 bits blue, green, red, and drawing writes a
// fourth byte 0. A zero pixel is clear.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/pixel_format.h"

namespace rx {

template <class Px>
struct BlockPixels {
  static constexpr int kBufferBytes = Px::kBytes;
  static constexpr int kBlockBytes = Px::kBytes == 4 ? 3 : Px::kBytes;
  // The format of a block pixel.
  using Stored = std::conditional_t<kBlockBytes == 3, Pixel24, Px>;

  static uint32_t load_block(const uint8_t* p) { return Stored::load(p); }
  static void store_buffer(uint8_t* p, uint32_t v) {
    Px::store(p, static_cast<typename Px::Value>(v));
  }
  static bool opaque(const uint8_t* p) {
    if constexpr (kBlockBytes == 2) {
      return (p[0] | p[1]) != 0;
    } else {
      return (p[0] | p[1] | p[2]) != 0;
    }
  }

  // Ends of runs in a block row of count pixels, from pixel n on: the
  // first opaque pixel (or count), the first clear pixel (or count).
  static int32_t skip_clear(const uint8_t* row, int32_t n, int32_t count) {
    if constexpr (kBlockBytes == 2) {
      while (n + 4 <= count && load4(row + 2 * static_cast<int64_t>(n)) == 0) n += 4;
    }
    while (n < count && !opaque(row + static_cast<int64_t>(n) * kBlockBytes)) ++n;
    return n;
  }
  static int32_t skip_opaque(const uint8_t* row, int32_t n, int32_t count) {
    if constexpr (kBlockBytes == 2) {
      while (n + 4 <= count && !has_clear_lane(load4(row + 2 * static_cast<int64_t>(n)))) n += 4;
    }
    while (n < count && opaque(row + static_cast<int64_t>(n) * kBlockBytes)) ++n;
    return n;
  }

  static void store_run(uint8_t* row, const uint8_t* block, int32_t count) {
    if constexpr (kBlockBytes == kBufferBytes) {
      std::memcpy(row, block, static_cast<size_t>(count) * kBlockBytes);
    } else {
      // Four bytes are read where a further pixel follows in the run, so
      // nothing past the run's last byte is touched.
      int32_t i = 0;
      for (; i + 1 < count; ++i) {
        uint32_t v;
        std::memcpy(&v, block + 3 * static_cast<int64_t>(i), 4);
        store_buffer(row + 4 * static_cast<int64_t>(i), v & 0x00FFFFFFu);
      }
      if (i < count) {
        store_buffer(row + 4 * static_cast<int64_t>(i),
                     load_block(block + 3 * static_cast<int64_t>(i)));
      }
    }
  }
  static void capture(uint8_t* block, const uint8_t* row, int32_t width) {
    if constexpr (kBlockBytes == kBufferBytes) {
      std::memcpy(block, row, static_cast<size_t>(width) * kBlockBytes);
    } else {
      for (int32_t i = 0; i < width; ++i) std::memcpy(block + 3 * i, row + 4 * i, 3);
    }
  }

 private:
  // 16 bits, four pixels at a time: a zero word is four clear pixels, a
  // word without a zero 16-bit lane four opaque ones.
  static uint64_t load4(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }
  static bool has_clear_lane(uint64_t w) {
    constexpr uint64_t kOnes = 0x0001000100010001u, kHighs = 0x8000800080008000u;
    return ((w - kOnes) & ~w & kHighs) != 0;
  }
};

}  // namespace rx
