// Run stores of the Canvas (see canvas.h): a store turns runs of flic
// pixels (palette indices) into the active buffer's pixels at a place the
// Canvas has checked. Every store offers copy, fill and pairs for exactly
// n pixels; a store with kRoomy also has writers that, where the row
// reaches to room_end(), may read or rewrite pixels past the run (the
// Canvas takes them there). These are the plain stores, one pixel at a
// time; 16 bits has its own (block_runs.h, masked_runs.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/pixel_format.h"
#include "core/state.h"
#include "flic/palette_chunks.h"

namespace rx::flic {

// 16-bit runs go out in blocks of this many pixels (block_runs.h), or with
// masked stores read their indices 32 at a time (masked_runs.h): a run
// given to copy_read_ahead may be read up to kRunReadAhead bytes past.
inline constexpr int32_t kBlockPixels = 8;
inline constexpr int32_t kIndexLoad = 32;
inline constexpr int32_t kRunReadAhead = std::max(kBlockPixels, kIndexLoad) - 1;

// The table a flic pixel of format Px is mapped through: the remap table
// at 8 bits, else PaletteMap.
template <class Px>
const typename Px::MapEntry* pixel_table() {
  if constexpr (Px::kBytes == 1) {
    return remap_table();
  } else {
    return Px::map(state().palette_map);
  }
}

// Stores without room-taking writers.
struct ExactRuns {
  static constexpr bool kRoomy = false;
};

// One pixel at a time: 24 and 32 bits (RgbRuns), and 8 bits (Runs8).
template <class Px>
class PixelRuns : public ExactRuns {
 public:
  static constexpr int kBytes = Px::kBytes;
  PixelRuns() : table_(pixel_table<Px>()) {}

  // The table is read into a local: pixel stores may alias members as far
  // as the compiler knows.
  void copy(uint8_t* d, const uint8_t* src, int32_t n) const {
    const typename Px::MapEntry* t = table_;
    for (int32_t i = 0; i < n; ++i) Px::store(d + i * kBytes, Px::mapped(t, src[i]));
  }
  void fill(uint8_t* d, uint8_t index, int32_t n) const {
    const typename Px::Value v = Px::mapped(table_, index);
    for (int32_t i = 0; i < n; ++i) Px::store(d + i * kBytes, v);
  }
  void pairs(uint8_t* d, uint8_t first, uint8_t second, int32_t n) const {
    const typename Px::Value a = Px::mapped(table_, first), b = Px::mapped(table_, second);
    int32_t i = 0;
    for (; i + 1 < n; i += 2) {
      Px::store(d + i * kBytes, a);
      Px::store(d + (i + 1) * kBytes, b);
    }
    if (i < n) Px::store(d + i * kBytes, a);
  }

 protected:
  const typename Px::MapEntry* table_;
};

template <class Px>
using RgbRuns = PixelRuns<Px>;

// 8 bits: fills are one memset.
class Runs8 : public PixelRuns<Pixel8> {
 public:
  void fill(uint8_t* d, uint8_t index, int32_t n) const {
    std::memset(d, table_[index], static_cast<size_t>(n));
  }
};

}  // namespace rx::flic
