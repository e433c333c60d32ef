#include "pcx/pcx_writers.h"

#include <cstring>

#include "core/pair_table.h"
#include "core/pixel_format.h"
#include "core/state.h"

namespace rx::pcx {

namespace {

// In 8-bit buffers 2- and 16-colour pictures start at palette index 10,
// clear of the desktop's static colours.
constexpr uint8_t kLowColorBase = 10;

// Where a column's palette index comes from, per variant.
struct TwoColors {
  static constexpr uint8_t kBase8 = kLowColorBase;
  static uint8_t index(const uint8_t* line, int32_t, int32_t i) {
    return (line[i >> 3] >> (7 - (i & 7))) & 1;
  }
};

struct SixteenColors {
  static constexpr uint8_t kBase8 = kLowColorBase;
  static uint8_t index(const uint8_t* line, int32_t bytes_per_line, int32_t i) {
    const int32_t byte = i >> 3;
    const int shift = 7 - (i & 7);
    return static_cast<uint8_t>(((line[byte] >> shift) & 1) |
                                ((line[bytes_per_line + byte] >> shift) & 1) << 1 |
                                ((line[2 * bytes_per_line + byte] >> shift) & 1) << 2 |
                                ((line[3 * bytes_per_line + byte] >> shift) & 1) << 3);
  }
};

struct Indexed256 {
  static constexpr uint8_t kBase8 = 0;
  static uint8_t index(const uint8_t* line, int32_t, int32_t i) { return line[i]; }
};

// How a palette index becomes a pixel, per depth.
struct Index8 {
  template <class Source>
  static void write(const uint8_t* line, int32_t bpl, int32_t first, int32_t count, uint8_t* row) {
    for (int32_t k = 0; k < count; ++k)
      row[k] = static_cast<uint8_t>(Source::kBase8 + Source::index(line, bpl, first + k));
  }
};

// 16, 24 and 32 bits: the palette map's pixel of the index.
template <class Px>
struct Mapped {
  template <class Source>
  static void write(const uint8_t* line, int32_t bpl, int32_t first, int32_t count, uint8_t* row) {
    const typename Px::MapEntry* map = Px::map(state().palette_map);
    const auto pixel = [&](int32_t k) {
      return Px::mapped(map, Source::index(line, bpl, first + k));
    };
    int32_t k = 0;
    if constexpr (Px::kBytes == 2) {
      for (; k + 4 <= count; k += 4) {  // four pixels per store
        const uint16_t four[4] = {pixel(k), pixel(k + 1), pixel(k + 2), pixel(k + 3)};
        std::memcpy(row + 2 * k, four, sizeof four);
      }
    }
    for (; k < count; ++k) Px::store(row + Px::kBytes * k, pixel(k));
  }
};

// The demo's case, 256 colours into 16 bits, with a shortcut for spans of
// eight equal indexes (the black around sprites, flat areas).
// Two pixels per lookup in the pair table.
void write_256_to_16(const uint8_t* line, int32_t, int32_t first, int32_t count, uint8_t* row) {
  constexpr uint64_t kEveryByte = 0x0101010101010101ull;
  const uint16_t* map = Pixel16::map(state().palette_map);
  const uint32_t* pairs = rgb565_pairs();
  const uint8_t* index = line + first;
  // Pixels 2p and 2p + 1 of eight indexes read as one word (low byte
  // first, as the pair table's halves are laid out).
  const auto two = [pairs](uint64_t eight, int p) {
    return uint64_t{pairs[static_cast<uint16_t>(eight >> 16 * p)]};
  };
  int32_t k = 0;
  for (; k + 8 <= count; k += 8) {
    uint64_t eight;
    std::memcpy(&eight, index + k, sizeof eight);
    if (eight == index[k] * kEveryByte) {
      const uint16_t v = map[index[k]];
      const uint16_t same[8] = {v, v, v, v, v, v, v, v};
      std::memcpy(row + 2 * k, same, sizeof same);
      continue;
    }
    const uint64_t four[2] = {two(eight, 0) | two(eight, 1) << 32,
                              two(eight, 2) | two(eight, 3) << 32};
    std::memcpy(row + 2 * k, four, sizeof four);
  }
  for (; k < count; ++k) Pixel16::store(row + 2 * k, map[index[k]]);
}

template <class Source, class Depth>
void write_indexed(const uint8_t* line, int32_t bpl, int32_t first, int32_t count, uint8_t* row) {
  Depth::template write<Source>(line, bpl, first, count, row);
}

// 24-bit colour: planes 0, 1, 2 hold red, green, blue.
void true_color16(const uint8_t* line, int32_t bpl, int32_t first, int32_t count, uint8_t* row) {
  const uint8_t* red = line + first;
  const uint8_t* green = red + bpl;
  const uint8_t* blue = green + bpl;
  for (int32_t k = 0; k < count; ++k)
    Pixel16::store(row + 2 * k, Pixel16::pack({red[k], green[k], blue[k]}));
}

// 24 and 32 bits a byte at a time, which the compiler turns into vectors.
template <int kBytesPerPixel>
void true_color(const uint8_t* line, int32_t bpl, int32_t first, int32_t count, uint8_t* row) {
  const uint8_t* red = line + first;
  const uint8_t* green = red + bpl;
  const uint8_t* blue = green + bpl;
  for (int32_t k = 0; k < count; ++k, row += kBytesPerPixel) {
    row[0] = blue[k], row[1] = green[k], row[2] = red[k];
    if constexpr (kBytesPerPixel == 4) row[3] = 0;
  }
}

// Rows in the order of Variant, columns by depth index.
constexpr PixelWriter kWriters[kVariantCount][4] = {
    {write_indexed<SixteenColors, Index8>, write_indexed<SixteenColors, Mapped<Pixel16>>,
     write_indexed<SixteenColors, Mapped<Pixel24>>, write_indexed<SixteenColors, Mapped<Pixel32>>},
    {nullptr, true_color16, true_color<3>, true_color<4>},
    {write_indexed<Indexed256, Index8>, write_256_to_16, write_indexed<Indexed256, Mapped<Pixel24>>,
     write_indexed<Indexed256, Mapped<Pixel32>>},
    {write_indexed<TwoColors, Index8>, write_indexed<TwoColors, Mapped<Pixel16>>,
     write_indexed<TwoColors, Mapped<Pixel24>>, write_indexed<TwoColors, Mapped<Pixel32>>},
};

}  // namespace

PixelWriter choose_writer(Variant variant, int32_t depth_index) {
  const int v = static_cast<int>(variant);
  if (v < 0 || v >= kVariantCount || depth_index < 0 || depth_index > 3) return nullptr;
  return kWriters[v][depth_index];
}

}  // namespace rx::pcx
