// How one pixel of each depth is held in a buffer and in an image block.
#pragma once

#include <cstdint>
#include <cstring>

namespace rx {

// Ends of runs in a block row of count pixels, from pixel n on: the first
// opaque pixel (or count), the first clear pixel (or count). Pixel-wise.
template <class Px>
int32_t end_of_clear(const uint8_t* row, int32_t n, int32_t count) {
  while (n < count && !Px::opaque(row + static_cast<int64_t>(n) * Px::kBlockBytes)) ++n;
  return n;
}
template <class Px>
int32_t end_of_opaque(const uint8_t* row, int32_t n, int32_t count) {
  while (n < count && Px::opaque(row + static_cast<int64_t>(n) * Px::kBlockBytes)) ++n;
  return n;
}

// 16 bits: two bytes in the buffer and in the block.
struct Pixel16 {
  static constexpr int kBufferBytes = 2;
  static constexpr int kBlockBytes = 2;
  static uint32_t load_block(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  static void store_buffer(uint8_t* p, uint32_t v) {
    uint16_t w = static_cast<uint16_t>(v);
    std::memcpy(p, &w, 2);
  }
  static bool opaque(const uint8_t* p) { return (p[0] | p[1]) != 0; }
  // Four pixels at a time: a zero word is four clear pixels, a word without
  // a zero 16-bit lane four opaque ones.
  static uint64_t load4(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  }
  static bool has_clear_lane(uint64_t w) {
    constexpr uint64_t kOnes = 0x0001000100010001u, kHighs = 0x8000800080008000u;
    return ((w - kOnes) & ~w & kHighs) != 0;
  }
  static int32_t skip_clear(const uint8_t* row, int32_t n, int32_t count) {
    while (n + 4 <= count && load4(row + 2 * static_cast<int64_t>(n)) == 0) n += 4;
    return end_of_clear<Pixel16>(row, n, count);
  }
  static int32_t skip_opaque(const uint8_t* row, int32_t n, int32_t count) {
    while (n + 4 <= count && !has_clear_lane(load4(row + 2 * static_cast<int64_t>(n)))) n += 4;
    return end_of_opaque<Pixel16>(row, n, count);
  }
  static void store_run(uint8_t* row, const uint8_t* block, int32_t count) {
    std::memcpy(row, block, static_cast<size_t>(count) * 2);
  }
  static void capture(uint8_t* block, const uint8_t* row, int32_t width) {
    std::memcpy(block, row, static_cast<size_t>(width) * 2);
  }
};

// 24 bits: blue, green, red in both.
struct Pixel24 {
  static constexpr int kBufferBytes = 3;
  static constexpr int kBlockBytes = 3;
  static uint32_t load_block(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
  }
  static void store_buffer(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
  }
  static bool opaque(const uint8_t* p) { return (p[0] | p[1] | p[2]) != 0; }
  static int32_t skip_clear(const uint8_t* row, int32_t n, int32_t count) {
    return end_of_clear<Pixel24>(row, n, count);
  }
  static int32_t skip_opaque(const uint8_t* row, int32_t n, int32_t count) {
    return end_of_opaque<Pixel24>(row, n, count);
  }
  static void store_run(uint8_t* row, const uint8_t* block, int32_t count) {
    std::memcpy(row, block, static_cast<size_t>(count) * 3);
  }
  static void capture(uint8_t* block, const uint8_t* row, int32_t width) {
    std::memcpy(block, row, static_cast<size_t>(width) * 3);
  }
};

// 32 bits: the block keeps blue, green, red; drawing writes a fourth byte 0.
struct Pixel32 {
  static constexpr int kBufferBytes = 4;
  static constexpr int kBlockBytes = 3;
  static uint32_t load_block(const uint8_t* p) { return Pixel24::load_block(p); }
  static void store_buffer(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
  static bool opaque(const uint8_t* p) { return Pixel24::opaque(p); }
  static int32_t skip_clear(const uint8_t* row, int32_t n, int32_t count) {
    return end_of_clear<Pixel32>(row, n, count);
  }
  static int32_t skip_opaque(const uint8_t* row, int32_t n, int32_t count) {
    return end_of_opaque<Pixel32>(row, n, count);
  }
  static void store_run(uint8_t* row, const uint8_t* block, int32_t count) {
    // Four bytes are read where a further pixel follows in the run, so
    // nothing past the run's last byte is touched.
    int32_t i = 0;
    for (; i + 1 < count; ++i) {
      uint32_t v;
      std::memcpy(&v, block + 3 * static_cast<int64_t>(i), 4);
      store_buffer(row + 4 * static_cast<int64_t>(i), v & 0x00FFFFFFu);
    }
    if (i < count) store_buffer(row + 4 * static_cast<int64_t>(i), load_block(block + 3 * static_cast<int64_t>(i)));
  }
  static void capture(uint8_t* block, const uint8_t* row, int32_t width) {
    for (int32_t i = 0; i < width; ++i) std::memcpy(block + 3 * i, row + 4 * i, 3);
  }
};

}  // namespace rx
