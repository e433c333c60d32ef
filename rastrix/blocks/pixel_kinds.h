// How one pixel of each depth is held in a buffer and in an image block.
#pragma once

#include <cstdint>
#include <cstring>

namespace rx {

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
  static void store_run(uint8_t* row, const uint8_t* block, int32_t count) {
    for (int32_t i = 0; i < count; ++i) store_buffer(row + 4 * i, load_block(block + 3 * i));
  }
  static void capture(uint8_t* block, const uint8_t* row, int32_t width) {
    for (int32_t i = 0; i < width; ++i) std::memcpy(block + 3 * i, row + 4 * i, 3);
  }
};

}  // namespace rx
