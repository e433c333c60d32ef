// 16-bit runs without masked stores (see pixel_runs.h for what a store
// is). A run goes out in stores of eight, four or two pixels, the last
// ending at the run's end and overlapping the one before: no pixel past
// the run is touched and the run's length costs no per-pixel tail. Two
// indices become two pixels in one lookup of the pair table.
//
// Where the row has room, runs go out in blocks of eight pixels instead,
// whole blocks stored outright and the last one blended with the buffer's
// pixels past the run. Delta runs are short and of every length; this way
// the length steers no branch but the block count, one for most runs.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/pair_table.h"
#include "core/pixel_format.h"
#include "flic/flic_format.h"
#include "flic/pixel_runs.h"

namespace rx::flic {

struct Block16 {
  uint64_t lo, hi;  // pixels 0-3 and 4-7, lowest first
};
// Per count 0..8 of run pixels in the last block: which bits of its
// halves keep the buffer's pixels.
constexpr uint64_t keep_bits(int32_t run_pixels) {
  return run_pixels <= 0 ? ~0ull : run_pixels >= 4 ? 0 : ~0ull << (16 * run_pixels);
}
inline constexpr Block16 kKeepOld[kBlockPixels + 1] = {
    {keep_bits(0), keep_bits(-4)}, {keep_bits(1), keep_bits(-3)}, {keep_bits(2), keep_bits(-2)},
    {keep_bits(3), keep_bits(-1)}, {keep_bits(4), keep_bits(0)},  {keep_bits(5), keep_bits(1)},
    {keep_bits(6), keep_bits(2)},  {keep_bits(7), keep_bits(3)},  {keep_bits(8), keep_bits(4)}};

class BlockRuns16 {
 public:
  static constexpr int kBytes = 2;
  static constexpr bool kRoomy = true;
  // The blocks for n pixels at column x reach this far: at least one, so
  // an empty run writes back one block as it was, and a run that fills
  // its last block exactly asks for one more, which saves a test.
  static int64_t room_end(int64_t x, int64_t n) {
    return x + ((n + kBlockPixels) & -int64_t{kBlockPixels});
  }

  BlockRuns16() : table_(pixel_table<Pixel16>()), pairs_(rgb565_pairs()) {}

  // Tables are read into locals: pixel stores may alias members as far as
  // the compiler knows.
  void copy(uint8_t* d, const uint8_t* src, int32_t n) const {
    const uint32_t* const table = pairs_;
    const auto four = [&](int32_t i) {
      return pair_of(table, src + i) | pair_of(table, src + i + 2) << 32;
    };
    if (n >= kBlockPixels) {
      int32_t i = 0;
      for (; i + kBlockPixels < n; i += kBlockPixels) store_block(d + 2 * i, four(i), four(i + 4));
      i = n - kBlockPixels;
      store_block(d + 2 * i, four(i), four(i + 4));
    } else if (n >= 4) {
      store64(d, four(0));
      store64(d + 2 * (n - 4), four(n - 4));
    } else if (n >= 2) {
      store32(d, table[load16(src)]);
      store32(d + 2 * (n - 2), table[load16(src + n - 2)]);
    } else if (n == 1) {
      Pixel16::store(d, table_[src[0]]);
    }
  }
  void fill(uint8_t* d, uint8_t index, int32_t n) const {
    put_pattern(d, table_[index] * kEveryPixel16, n);
  }
  void pairs(uint8_t* d, uint8_t first, uint8_t second, int32_t n) const {
    put_pattern(d, pair_pattern(first, second), n);
  }

  // Where the row reaches room_end(): src is read to the end of the last
  // block.
  void copy_read_ahead(uint8_t* d, const uint8_t* src, int32_t n) const {
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
  void fill_in_room(uint8_t* d, uint8_t index, int32_t n) const {
    put_pattern_blocks(d, table_[index] * kEveryPixel16, n);
  }
  void pairs_in_room(uint8_t* d, uint8_t first, uint8_t second, int32_t n) const {
    put_pattern_blocks(d, pair_pattern(first, second), n);
  }

 private:
  static constexpr uint64_t kEveryPixel16 = 0x0001000100010001ull;
  static constexpr uint64_t kEveryPair16 = 0x0000000100000001ull;

  uint64_t pair_pattern(uint8_t first, uint8_t second) const {
    return (table_[first] | static_cast<uint64_t>(table_[second]) << 16) * kEveryPair16;
  }
  static uint64_t pair_of(const uint32_t* table, const uint8_t* src) { return table[load16(src)]; }
  static void store32(uint8_t* d, uint32_t v) { std::memcpy(d, &v, 4); }
  static void store64(uint8_t* d, uint64_t v) { std::memcpy(d, &v, 8); }
  static void store_block(uint8_t* d, uint64_t lo, uint64_t hi) {
    const uint64_t block[2] = {lo, hi};  // one 16-byte store
    std::memcpy(d, block, sizeof block);
  }

  // n pixels repeating a pattern (see put_pattern): whole blocks two at a
  // time, as long fills and repeats are common.
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
  // n pixels repeating the two lowest of pattern (which repeats them),
  // stored as copy does; a store that starts at an odd pixel takes the
  // pattern turned by one pixel.
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

  const uint16_t* table_;
  const uint32_t* pairs_;
};

}  // namespace rx::flic
