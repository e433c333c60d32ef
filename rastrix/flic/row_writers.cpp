#include "flic/row_writers.h"

#include <cstring>

#include "flic/palette_chunks.h"

namespace rx::flic {
namespace {

// One pixel format: the pixel for a flic value, and how it is stored.
struct Index8 {
  using Pixel = uint8_t;
  using Table = uint8_t;
  static constexpr int kBytes = 1;
  static const void* table() { return remap_table(); }
  static Pixel pixel(const Table* t, uint8_t p) { return t[p]; }
  static void store(uint8_t* d, Pixel v) { *d = v; }
};
struct Rgb565 {
  using Pixel = uint16_t;
  using Table = uint16_t;
  static constexpr int kBytes = 2;
  static const void* table() { return state().palette_map.rgb565; }
  static Pixel pixel(const Table* t, uint8_t p) { return t[p]; }
  static void store(uint8_t* d, Pixel v) { std::memcpy(d, &v, 2); }
};
// PaletteMap's 24/32-bit entries are high byte, red, green, blue; the
// buffer wants blue, green, red (, high byte): the entry's bytes reversed.
struct Bgr24 {
  using Pixel = uint32_t;
  using Table = uint8_t[4];
  static constexpr int kBytes = 3;
  static const void* table() { return state().palette_map.hrgb; }
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

template <class F>
const typename F::Table* table_of(const void* table) {
  return static_cast<const typename F::Table*>(table);
}

template <class F>
void copy(uint8_t* dst, const uint8_t* src, int32_t n, const void* table) {
  const auto t = table_of<F>(table);
  for (int32_t i = 0; i < n; ++i) F::store(dst + i * F::kBytes, F::pixel(t, src[i]));
}

template <class F>
void fill(uint8_t* dst, uint8_t value, int32_t n, const void* table) {
  const typename F::Pixel v = F::pixel(table_of<F>(table), value);
  if constexpr (F::kBytes == 1) {
    std::memset(dst, v, static_cast<size_t>(n));
  } else {
    for (int32_t i = 0; i < n; ++i) F::store(dst + i * F::kBytes, v);
  }
}

template <class F>
void pairs(uint8_t* dst, uint8_t first, uint8_t second, int32_t n, const void* table) {
  const auto t = table_of<F>(table);
  const typename F::Pixel a = F::pixel(t, first), b = F::pixel(t, second);
  int32_t i = 0;
  for (; i + 1 < n; i += 2) {
    F::store(dst + i * F::kBytes, a);
    F::store(dst + (i + 1) * F::kBytes, b);
  }
  if (i < n) F::store(dst + i * F::kBytes, a);
}

template <class F>
constexpr RowWriter writer_for() {
  return {copy<F>, fill<F>, pairs<F>, F::kBytes, F::table};
}

constexpr RowWriter kWriters[4] = {writer_for<Index8>(), writer_for<Rgb565>(),
                                   writer_for<Bgr24>(), writer_for<Bgrx32>()};

}  // namespace

const RowWriter& row_writer(int32_t depth_index) { return kWriters[depth_index & 3]; }

}  // namespace rx::flic
