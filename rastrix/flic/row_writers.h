// Row writers: flic pixels (palette indices) turned into the active
// buffer's pixels, one pixel format per depth, and the Canvas that places
// them: frame origin, current row, clipping. The decoders are templates
// over the format, chosen once per call by the depth index.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/state.h"
#include "flic/flic_format.h"
#include "flic/pair_table.h"
#include "flic/palette_chunks.h"

namespace rx::flic {

// 8 bits: the remap table's palette entry.
struct Index8 {
  using Pixel = uint8_t;
  using Table = uint8_t;
  static constexpr int kBytes = 1;
  static const Table* table() { return remap_table(); }
  static Pixel pixel(const Table* t, uint8_t p) { return t[p]; }
  static void store(uint8_t* d, Pixel v) { *d = v; }
};
// 16 bits: PaletteMap's 5-6-5 value.
struct Rgb565 {
  using Pixel = uint16_t;
  using Table = uint16_t;
  static constexpr int kBytes = 2;
  static const Table* table() { return state().palette_map.rgb565; }
  static Pixel pixel(const Table* t, uint8_t p) { return t[p]; }
  static void store(uint8_t* d, Pixel v) { std::memcpy(d, &v, 2); }
};
// 24 and 32 bits: PaletteMap's entries are high byte, red, green, blue;
// the buffer wants blue, green, red (, high byte): the entry reversed.
struct Bgr24 {
  using Pixel = uint32_t;
  using Table = uint8_t[4];
  static constexpr int kBytes = 3;
  static const Table* table() { return state().palette_map.hrgb; }
  static Pixel pixel(const Table* t, uint8_t p) {
    uint32_t v;
    std::memcpy(&v, t[p], 4);
    return __builtin_bswap32(v);
  }
  static void store(uint8_t* d, Pixel v) {
    d[0] = static_cast<uint8_t>(v);
    d[1] = static_cast<uint8_t>(v >> 8);
    d[2] = static_cast<uint8_t>(v >> 16);
  }
};
struct Bgrx32 : Bgr24 {
  static constexpr int kBytes = 4;
  static void store(uint8_t* d, Pixel v) { std::memcpy(d, &v, 4); }
};

// Where a frame lands and how large it is.
struct FrameArea {
  int64_t origin_x, origin_y;
  int32_t width, height;
  int64_t right_column() const { return origin_x + width - 1; }
};

// Frame pixels land in the active buffer at origin + (column, row); pixels
// outside the buffer are dropped, never written into another row.
template <class F>
class Canvas {
 public:
  explicit Canvas(const FrameArea& area) : area(area), table_(F::table()) {
    const LibraryState& s = state();
    buffer_width_ = s.active_width;
    buffer_height_ = s.active_height;
    bottom_row_ = s.active_bottom_row;
    bytes_per_row_ = s.active_bytes_per_row;
    pixels_ = s.active_pixels;
    if constexpr (F::kBytes == 2) pairs_ = rgb565_pairs();
  }

  const FrameArea area;

  // Buffer row y becomes the current row.
  void set_row(int64_t y) {
    y_ = y;
    row_ = y >= 0 && y < buffer_height_ ? pixels_ + (bottom_row_ - y) * bytes_per_row_ : nullptr;
  }
  void next_row() { set_row(y_ + 1); }
  int64_t row() const { return y_; }
  // True once the current row and all below it are outside the buffer.
  bool below_buffer() const { return y_ >= buffer_height_; }

  // Pixels src[0 .. n) at column x.
  void copy(int64_t x, const uint8_t* src, int64_t n) {
    if (uint8_t* d = inside(x, n)) return put_copy(d, src, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) put_copy(span.dst, src + span.skipped, span.count);
  }
  // pairs x 2 pixels src[0 .. 2 * pairs) at column x: word-delta runs.
  void copy_pairs(int64_t x, const uint8_t* src, int32_t pairs) {
    if (uint8_t* d = inside(x, 2 * pairs)) return put_copy_pairs(d, src, pairs);
    copy(x, src, 2 * pairs);
  }
  // n pixels of one value.
  void fill(int64_t x, uint8_t value, int64_t n) {
    if (uint8_t* d = inside(x, n)) return put_fill(d, value, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) put_fill(span.dst, value, span.count);
  }
  // n pixels alternating first, second, first, ...
  void pairs(int64_t x, uint8_t first, uint8_t second, int64_t n) {
    if (uint8_t* d = inside(x, n)) return put_pairs(d, first, second, static_cast<int32_t>(n));
    Span span;
    if (!clip(x, n, span)) return;
    if (span.skipped & 1) std::swap(first, second);
    put_pairs(span.dst, first, second, span.count);
  }

  // The current row at column x when [x, x + n) lies wholly in it, else
  // null: the common case, where no clipping is needed.
  uint8_t* inside(int64_t x, int64_t n) const {
    return row_ != nullptr && x >= 0 && x + n <= buffer_width_ ? row_ + x * F::kBytes : nullptr;
  }

  // Unclipped writers for n pixels at d, which the caller has checked.
  // Table and destination are locals: pixel stores may alias members as
  // far as the compiler knows.
  void put_copy(uint8_t* d, const uint8_t* src, int32_t n) const {
    const typename F::Table* t = table_;
    int32_t i = 0;
    if constexpr (F::kBytes == 2) {  // two pixels per lookup, four per 64-bit store
      const uint32_t* const pairs = pairs_;
      for (; i + 4 <= n; i += 4) {
        const uint64_t four =
            pairs[load16(src + i)] | static_cast<uint64_t>(pairs[load16(src + i + 2)]) << 32;
        std::memcpy(d + 2 * i, &four, 8);
      }
      if (n - i >= 2) {  // the rest without a loop: delta runs come in pairs
        const uint32_t two = pairs[load16(src + i)];
        std::memcpy(d + 2 * i, &two, 4);
        i += 2;
      }
      if (i < n) F::store(d + 2 * i, F::pixel(t, src[i]));
      return;
    }
    for (; i < n; ++i) F::store(d + i * F::kBytes, F::pixel(t, src[i]));
  }
  // Runs of a few pairs: one store per pair and no tails, which cost a
  // mispredicted branch per run more often than not; longer runs take
  // four pixels per store.
  void put_copy_pairs(uint8_t* d, const uint8_t* src, int32_t pairs) const {
    if constexpr (F::kBytes == 2) {
      if (pairs > kFewPairs) return put_copy(d, src, 2 * pairs);
      const uint32_t* const table = pairs_;
      for (int32_t k = 0; k < pairs; ++k) {
        const uint32_t two = table[load16(src + 2 * k)];
        std::memcpy(d + 4 * k, &two, 4);
      }
    } else {
      put_copy(d, src, 2 * pairs);
    }
  }
  void put_fill(uint8_t* d, uint8_t value, int32_t n) const {
    const typename F::Pixel v = F::pixel(table_, value);
    if constexpr (F::kBytes == 1) {
      std::memset(d, v, static_cast<size_t>(n));
    } else if constexpr (F::kBytes == 2) {
      put_pattern(d, v * kEveryPixel16, n);
    } else {
      for (int32_t i = 0; i < n; ++i) F::store(d + i * F::kBytes, v);
    }
  }
  void put_pairs(uint8_t* d, uint8_t first, uint8_t second, int32_t n) const {
    const typename F::Pixel a = F::pixel(table_, first), b = F::pixel(table_, second);
    if constexpr (F::kBytes == 2) {
      put_pattern(d, (a | static_cast<uint64_t>(b) << 16) * kEveryPair16, n);
      return;
    }
    int32_t i = 0;
    for (; i + 1 < n; i += 2) {
      F::store(d + i * F::kBytes, a);
      F::store(d + (i + 1) * F::kBytes, b);
    }
    if (i < n) F::store(d + i * F::kBytes, a);
  }

 private:
  // The part of a run that lies in the buffer.
  struct Span {
    uint8_t* dst;
    int64_t skipped;  // pixels cut off at the left
    int32_t count;
  };
  // Cuts [x, x + n) to the current row; false when nothing is left.
  bool clip(int64_t x, int64_t n, Span& span) const {
    if (row_ == nullptr) return false;
    int64_t from = std::max<int64_t>(x, 0);
    int64_t to = std::min<int64_t>(x + n, buffer_width_);
    if (from >= to) return false;
    span = {row_ + from * F::kBytes, from - x, static_cast<int32_t>(to - from)};
    return true;
  }

  static constexpr int32_t kFewPairs = 4;
  static constexpr uint64_t kEveryPixel16 = 0x0001000100010001ull;
  static constexpr uint64_t kEveryPair16 = 0x0000000100000001ull;
  // n 16-bit pixels repeating the four in pattern (lowest first).
  static void put_pattern(uint8_t* d, uint64_t pattern, int32_t n) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) std::memcpy(d + 2 * i, &pattern, 8);
    for (; i < n; ++i, pattern >>= 16) {
      const uint16_t v = static_cast<uint16_t>(pattern);
      std::memcpy(d + 2 * i, &v, 2);
    }
  }

  const typename F::Table* table_;
  const uint32_t* pairs_ = nullptr;  // 16 bits only
  int32_t buffer_width_, buffer_height_, bottom_row_;
  ptrdiff_t bytes_per_row_;
  uint8_t* pixels_;
  int64_t y_ = 0;
  uint8_t* row_ = nullptr;
};

}  // namespace rx::flic
