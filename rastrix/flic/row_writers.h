// Row writers: flic pixels (palette indices) turned into the active
// buffer's pixels, one row format per depth, and the Canvas that places
// them: frame origin, current row, clipping. The decoders are templates
// over the row format, chosen once per call by the depth index.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/pair_table.h"
#include "core/pixel_format.h"
#include "core/state.h"
#include "flic/flic_format.h"
#include "flic/palette_chunks.h"

namespace rx::flic {

// A row format: the buffer's pixel format Px and the table a flic pixel
// is mapped through, the remap table at 8 bits, else PaletteMap. It leaves
// storing runs to the Canvas; a format with kMasked stores 16-bit runs
// itself, with registers it loads once per Canvas (see masked_runs.h).
struct NoRegisters {};
template <class Px>
struct RowFormat : Px {
  static constexpr bool kMasked = false;
  using Registers = NoRegisters;
  static Registers registers() { return {}; }
  static const typename Px::MapEntry* table() {
    if constexpr (Px::kBytes == 1) {
      return remap_table();
    } else {
      return Px::map(state().palette_map);
    }
  }
};

// 16-bit runs go out in blocks of this many pixels (see put_copy_blocks),
// or with masked stores read their indices 32 at a time: copy_read_ahead
// may read up to kRunReadAhead bytes past a run.
inline constexpr int32_t kBlockPixels = 8;
inline constexpr int32_t kIndexLoad = 32;
inline constexpr int32_t kRunReadAhead = std::max(kBlockPixels, kIndexLoad) - 1;

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
  explicit Canvas(const FrameArea& area)
      : area(area), table_(F::table()), registers_(F::registers()) {
    const LibraryState& s = state();
    buffer_width_ = s.active_width;
    buffer_height_ = s.active_height;
    bottom_row_ = s.active_bottom_row;
    bytes_per_row_ = s.active_bytes_per_row;
    pixels_ = s.active_pixels;
    if constexpr (kBlocks) pairs_ = rgb565_pairs();
  }

  const FrameArea area;

  // Buffer row y becomes the current row.
  void set_row(int64_t y) {
    y_ = y;
    const bool in_buffer = y >= 0 && y < buffer_height_;
    row_ = in_buffer ? pixels_ + (bottom_row_ - y) * bytes_per_row_ : nullptr;
    row_width_ = in_buffer ? buffer_width_ : kNoRow;
  }
  void next_row() { set_row(y_ + 1); }
  int64_t row() const { return y_; }
  // True once the current row and all below it are outside the buffer.
  bool below_buffer() const { return y_ >= buffer_height_; }

  // Pixels src[0 .. n) at column x.
  void copy(int64_t x, const uint8_t* src, int64_t n) {
    if (inside(x, n)) return put_copy(at(x), src, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) put_copy(span.dst, src + span.skipped, span.count);
  }
  // The same where src may be read up to kRunReadAhead bytes past the run:
  // the delta decoders' packets wholly in the input.
  void copy_read_ahead(int64_t x, const uint8_t* src, int32_t n) {
    if constexpr (kBlocks) {
      if (blocks_fit(x, n)) return put_copy_blocks(row_ + 2 * x, src, n);
    } else if constexpr (F::kMasked) {
      if (inside(x, n)) return F::template put_copy<true>(at(x), src, n, registers_);
    }
    copy(x, src, n);
  }
  // n pixels of one value.
  void fill(int64_t x, uint8_t value, int64_t n) {
    if constexpr (kBlocks) {
      if (blocks_fit(x, n)) {
        return put_pattern_blocks(row_ + 2 * x, F::mapped(table_, value) * kEveryPixel16,
                                  static_cast<int32_t>(n));
      }
    }
    if (inside(x, n)) return put_fill(at(x), value, static_cast<int32_t>(n));
    Span span;
    if (clip(x, n, span)) put_fill(span.dst, value, span.count);
  }
  // n pixels alternating first, second, first, ...
  void pairs(int64_t x, uint8_t first, uint8_t second, int64_t n) {
    if constexpr (kBlocks) {
      if (blocks_fit(x, n)) {
        const uint64_t pattern =
            (F::mapped(table_, first) | static_cast<uint64_t>(F::mapped(table_, second)) << 16) *
            kEveryPair16;
        return put_pattern_blocks(row_ + 2 * x, pattern, static_cast<int32_t>(n));
      }
    }
    if (inside(x, n)) return put_pairs(at(x), first, second, static_cast<int32_t>(n));
    Span span;
    if (!clip(x, n, span)) return;
    if (span.skipped & 1) std::swap(first, second);
    put_pairs(span.dst, first, second, span.count);
  }

  // True when [x, x + n) lies wholly in the current row, which then has
  // pixels: the common case, where no clipping is needed.
  bool inside(int64_t x, int64_t n) const { return x >= 0 && x + n <= row_width_; }
  // Column x of the current row.
  uint8_t* at(int64_t x) const { return row_ + x * F::kBytes; }

  // Unclipped writers for n pixels at d, which the caller has checked.
  // Table and destination are locals: pixel stores may alias members as
  // far as the compiler knows.
  //
  // At 16 bits a run goes out in stores of eight, four or two pixels, the
  // last ending at the run's end and overlapping the one before: no pixel
  // past the run is touched and the run's length costs no per-pixel tail.
  void put_copy(uint8_t* d, const uint8_t* src, int32_t n) const {
    const typename F::MapEntry* t = table_;
    if constexpr (F::kMasked) {
      F::template put_copy<false>(d, src, n, registers_);
      return;
    } else if constexpr (F::kBytes == 2) {  // two pixels per lookup
      const uint32_t* const table = pairs_;
      const auto four = [&](int32_t i) {
        return pair_of(table, src + i) | pair_of(table, src + i + 2) << 32;
      };
      if (n >= kBlockPixels) {
        int32_t i = 0;
        for (; i + kBlockPixels < n; i += kBlockPixels)
          store_block(d + 2 * i, four(i), four(i + 4));
        i = n - kBlockPixels;
        store_block(d + 2 * i, four(i), four(i + 4));
      } else if (n >= 4) {
        store64(d, four(0));
        store64(d + 2 * (n - 4), four(n - 4));
      } else if (n >= 2) {
        store32(d, table[load16(src)]);
        store32(d + 2 * (n - 2), table[load16(src + n - 2)]);
      } else if (n == 1) {
        F::store(d, F::mapped(t, src[0]));
      }
      return;
    }
    for (int32_t i = 0; i < n; ++i) F::store(d + i * F::kBytes, F::mapped(t, src[i]));
  }
  void put_fill(uint8_t* d, uint8_t value, int32_t n) const {
    const typename F::Value v = F::mapped(table_, value);
    if constexpr (F::kBytes == 1) {
      std::memset(d, v, static_cast<size_t>(n));
    } else if constexpr (F::kMasked) {
      F::put_fill(d, v, n);
    } else if constexpr (F::kBytes == 2) {
      put_pattern16(d, v * kEveryPixel16, n);
    } else {
      for (int32_t i = 0; i < n; ++i) F::store(d + i * F::kBytes, v);
    }
  }
  void put_pairs(uint8_t* d, uint8_t first, uint8_t second, int32_t n) const {
    const typename F::Value a = F::mapped(table_, first), b = F::mapped(table_, second);
    if constexpr (F::kBytes == 2) {
      put_pattern16(d, (a | static_cast<uint64_t>(b) << 16) * kEveryPair16, n);
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

  // 16 bits: the format's masked stores, or the Canvas's own.
  static void put_pattern16(uint8_t* d, uint64_t pattern, int32_t n) {
    if constexpr (F::kMasked) {
      F::put_pairs(d, static_cast<uint32_t>(pattern), n);
    } else {
      put_pattern(d, pattern, n);
    }
  }

  // 16 bits without masked stores: runs go out in blocks of eight pixels, whole
  // blocks stored outright and the last one blended with the buffer's pixels
  // past the run. Delta runs are short and of every length; this way the length
  // steers no branch but the block count, one for most runs.
  struct Block16 {
    uint64_t lo, hi;  // pixels 0-3 and 4-7, lowest first
  };
  // Per count 0..8 of run pixels in the last block: which bits of its
  // halves keep the buffer's pixels.
  static constexpr uint64_t keep_bits(int32_t run_pixels) {
    return run_pixels <= 0 ? ~0ull : run_pixels >= 4 ? 0 : ~0ull << (16 * run_pixels);
  }
  static constexpr bool kBlocks = F::kBytes == 2 && !F::kMasked;
  static constexpr Block16 kKeepOld[kBlockPixels + 1] = {
      {keep_bits(0), keep_bits(-4)}, {keep_bits(1), keep_bits(-3)}, {keep_bits(2), keep_bits(-2)},
      {keep_bits(3), keep_bits(-1)}, {keep_bits(4), keep_bits(0)},  {keep_bits(5), keep_bits(1)},
      {keep_bits(6), keep_bits(2)},  {keep_bits(7), keep_bits(3)},  {keep_bits(8), keep_bits(4)}};

  // True when the blocks for n pixels at column x lie in the current row
  // (which then has pixels): at least one, so an empty run writes back
  // one block as it was, and a run that fills its last block exactly
  // asks for one more, which saves a test.
  bool blocks_fit(int64_t x, int64_t n) const {
    return x >= 0 && x + ((n + kBlockPixels) & -int64_t{kBlockPixels}) <= row_width_;
  }
  static uint64_t pair_of(const uint32_t* table, const uint8_t* src) { return table[load16(src)]; }
  static void store32(uint8_t* d, uint32_t v) { std::memcpy(d, &v, 4); }
  static void store64(uint8_t* d, uint64_t v) { std::memcpy(d, &v, 8); }
  static void store_block(uint8_t* d, uint64_t lo, uint64_t hi) {
    const uint64_t block[2] = {lo, hi};  // one 16-byte store
    std::memcpy(d, block, sizeof block);
  }
  // n pixels from src[0 .. n) at d, at least one block; src is read to
  // the end of the last block.
  void put_copy_blocks(uint8_t* d, const uint8_t* src, int32_t n) const {
    const uint32_t* const table = pairs_;
    const auto block = [table](const uint8_t* s) {
      return Block16{pair_of(table, s) | pair_of(table, s + 2) << 32,
                     pair_of(table, s + 4) | pair_of(table, s + 6) << 32};
    };
    for (; n > kBlockPixels; n -= kBlockPixels, d += 2 * kBlockPixels, src += kBlockPixels) {
      const Block16 b = block(src);
      store_block(d, b.lo, b.hi);
    }
    put_last_block(d, block(src), n);
  }
  // The same for a repeating pattern (see put_pattern): whole blocks two
  // at a time, as long fills and repeats are common.
  static void put_pattern_blocks(uint8_t* d, uint64_t pattern, int32_t n) {
    for (; n > 2 * kBlockPixels; n -= 2 * kBlockPixels, d += 4 * kBlockPixels) {
      store_block(d, pattern, pattern);
      store_block(d + 2 * kBlockPixels, pattern, pattern);
    }
    if (n > kBlockPixels) {
      store_block(d, pattern, pattern);
      n -= kBlockPixels;
      d += 2 * kBlockPixels;
    }
    put_last_block(d, Block16{pattern, pattern}, n);
  }
  // A block of which the first `run` pixels (0..8) are the run's: the rest
  // keep the buffer's.
  static void put_last_block(uint8_t* d, const Block16& b, int32_t run) {
    const Block16 keep = kKeepOld[run];
    uint64_t old_lo, old_hi;
    std::memcpy(&old_lo, d, 8);
    std::memcpy(&old_hi, d + 8, 8);
    store_block(d, (b.lo & ~keep.lo) | (old_lo & keep.lo), (b.hi & ~keep.hi) | (old_hi & keep.hi));
  }

  static constexpr uint64_t kEveryPixel16 = 0x0001000100010001ull;
  static constexpr uint64_t kEveryPair16 = 0x0000000100000001ull;
  // n 16-bit pixels repeating the two lowest of pattern (which repeats
  // them), stored as put_copy does; a store that starts at an odd pixel
  // takes the pattern turned by one pixel.
  static void put_pattern(uint8_t* d, uint64_t pattern, int32_t n) {
    const uint64_t last = n & 1 ? pattern >> 16 | pattern << 48 : pattern;
    if (n >= kBlockPixels) {
      for (int32_t i = 0; i + kBlockPixels < n; i += kBlockPixels)
        store_block(d + 2 * i, pattern, pattern);
      store_block(d + 2 * (n - kBlockPixels), last, last);
    } else if (n >= 4) {
      store64(d, pattern);
      store64(d + 2 * (n - 4), last);
    } else if (n >= 2) {
      store32(d, static_cast<uint32_t>(pattern));
      store32(d + 2 * (n - 2), static_cast<uint32_t>(last));
    } else if (n == 1) {
      const uint16_t v = static_cast<uint16_t>(pattern);
      std::memcpy(d, &v, 2);
    }
  }

  const typename F::MapEntry* table_;
  const uint32_t* pairs_ = nullptr;  // 16 bits only
  [[no_unique_address]] const typename F::Registers registers_;
  int32_t buffer_width_, buffer_height_, bottom_row_;
  ptrdiff_t bytes_per_row_;
  uint8_t* pixels_;
  int64_t y_ = 0;
  uint8_t* row_ = nullptr;
  // The buffer's width, or kNoRow when the row is outside it: no run fits.
  static constexpr int64_t kNoRow = -1;
  int64_t row_width_ = kNoRow;
};

}  // namespace rx::flic
