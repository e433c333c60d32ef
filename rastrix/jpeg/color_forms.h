// What every set of line writers shares: the conversion factors, the pixel
// stores, the portable writer (also the vector writers' head and tail) and
// the table of one set.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"
#include "core/pixel_format.h"
#include "jpeg/color.h"

namespace rx::jpeg {

inline constexpr double kCrToRed = 1.402, kCbToGreen = 0.34414, kCrToGreen = 0.71414,
                        kCbToBlue = 1.772;
inline constexpr int kChromaCenter = 128;

// Clamping by lookup over every sum the conversion can make, straight to
// each depth's bits.
inline constexpr int kClampOffset = 256;
inline constexpr int kClampSize = 3 * 256;
constexpr int clamped(int i) {
  int x = i - kClampOffset;
  return x < 0 ? 0 : x > 255 ? 255 : x;
}
struct ClampTables {
  uint8_t byte[kClampSize];
  uint16_t red565[kClampSize], green565[kClampSize], blue565[kClampSize];
};
constexpr ClampTables make_clamp() {
  ClampTables c{};
  for (int i = 0; i < kClampSize; ++i) {
    c.byte[i] = static_cast<uint8_t>(clamped(i));
    c.red565[i] = red_565(clamped(i));
    c.green565[i] = green_565(clamped(i));
    c.blue565[i] = blue_5(clamped(i));
  }
  return c;
}
constexpr ClampTables kClamp = make_clamp();

// The pixel of format Pixel (Pixel16, Pixel24 or Pixel32) at p, from Y
// and the three chroma terms (offset by kClampOffset already folded into
// the terms). A 32-bit pixel's fourth byte keeps its old value.
template <class Pixel>
inline void put(uint8_t* p, int l, int red, int green, int blue) {
  if constexpr (Pixel::kBytes == 2) {
    Pixel::store(p, static_cast<uint16_t>(kClamp.red565[l + red] | kClamp.green565[l + green] |
                                          kClamp.blue565[l + blue]));
  } else {
    p[0] = kClamp.byte[l + blue], p[1] = kClamp.byte[l + green], p[2] = kClamp.byte[l + red];
  }
}

// One or two lines (kTwo) that share their chroma line.
template <class Pixel, int kReplication, bool kTwo>
void color_lines(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                 int32_t first, int32_t count, uint8_t* out0, uint8_t* out1) {
  const ColorTables& t = kColorTables;
  int32_t x = first, end = first + count;
  while (x < end) {
    int32_t c = x / kReplication;
    int32_t group_end = (c + 1) * kReplication;
    if (group_end > end) group_end = end;
    int red = t.cr_to_red[cr[c]] + kClampOffset;
    int green = kClampOffset - t.cb_to_green[cb[c]] - t.cr_to_green[cr[c]];
    int blue = t.cb_to_blue[cb[c]] + kClampOffset;
    for (; x < group_end; ++x) {
      put<Pixel>(out0, y0[x], red, green, blue);
      out0 += Pixel::kBytes;
      if constexpr (kTwo) {
        put<Pixel>(out1, y1[x], red, green, blue);
        out1 += Pixel::kBytes;
      }
    }
  }
}

// One or two lines in chunks of kChunk pixels, each starting a chroma
// group, written by Chunk; the portable writer takes the pixels before the
// first group and after the last whole chunk. A vector Chunk is inlined by
// callers built for its vectors (flatten), as this walker is shared.
template <class Pixel, int kReplication, bool kTwo, int32_t kChunk, auto Chunk>
inline void color_lines_chunked(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb,
                                const uint8_t* cr, int32_t first, int32_t count, uint8_t* out0,
                                uint8_t* out1) {
  int32_t x = first, end = first + count;
  int32_t head = (kReplication - x % kReplication) % kReplication;
  if (head > count) head = count;
  color_lines<Pixel, kReplication, kTwo>(y0, y1, cb, cr, x, head, out0, out1);
  x += head;
  out0 += Pixel::kBytes * head;
  if constexpr (kTwo) out1 += Pixel::kBytes * head;
  for (; x + kChunk <= end; x += kChunk) {
    Chunk(y0, y1, cb, cr, x, out0, out1);
    out0 += Pixel::kBytes * kChunk;
    if constexpr (kTwo) out1 += Pixel::kBytes * kChunk;
  }
  color_lines<Pixel, kReplication, kTwo>(y0, y1, cb, cr, x, end - x, out0, out1);
}

template <class Pixel, int kReplication>
void color_line_scalar_of(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first,
                          int32_t count, uint8_t* out) {
  color_lines<Pixel, kReplication, false>(y, nullptr, cb, cr, first, count, out, nullptr);
}

template <class Pixel>
void gray_line_scalar_of(const uint8_t* y, int32_t count, uint8_t* out) {
  for (int32_t i = 0; i < count; ++i, out += Pixel::kBytes)
    put<Pixel>(out, y[i], kClampOffset, kClampOffset, kClampOffset);
}

// One writer set: every depth (null for 8 bits) and replication.
struct Writers {
  ColorLine line[4][kMaxReplication];
  ColorPair pair[4][kMaxReplication];
  GrayLine gray[4];
};

extern const Writers kScalarWriters;
// 16-byte vectors where the build has them, for replications 1 and 2.
extern const Writers kVectorWriters;
#ifdef RASTRIX_HAS_AVX2
// 32-byte vectors for replications 1 and 2; only where avx2_usable().
extern const Writers kAvx2Writers;
#endif

}  // namespace rx::jpeg
