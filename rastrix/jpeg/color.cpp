#include "jpeg/color.h"

#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rx::jpeg {
namespace {

constexpr int32_t table_entry(double k, int i) {
  return static_cast<int32_t>(k * (i - 128) + 0.5);  // truncation toward zero
}

constexpr ColorTables make_tables() {
  ColorTables t{};
  for (int i = 0; i < 256; ++i) {
    t.cr_to_red[i] = table_entry(1.402, i);
    t.cb_to_green[i] = table_entry(0.34414, i);
    t.cr_to_green[i] = table_entry(0.71414, i);
    t.cb_to_blue[i] = table_entry(1.772, i);
  }
  return t;
}

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
    c.red565[i] = static_cast<uint16_t>((clamped(i) >> 3) << 11);
    c.green565[i] = static_cast<uint16_t>((clamped(i) >> 2) << 5);
    c.blue565[i] = static_cast<uint16_t>(clamped(i) >> 3);
  }
  return c;
}
constexpr ClampTables kClamp = make_clamp();

// Each pixel form takes Y and the three chroma terms (offset by
// kClampOffset already folded into the terms).
struct Pixel565 {
  static constexpr int kBytes = 2;
  static void put(uint8_t* p, int l, int red, int green, int blue) {
    uint16_t v = static_cast<uint16_t>(kClamp.red565[l + red] | kClamp.green565[l + green] |
                                       kClamp.blue565[l + blue]);
    std::memcpy(p, &v, 2);
  }
};
struct Pixel888 {
  static constexpr int kBytes = 3;
  static void put(uint8_t* p, int l, int red, int green, int blue) {
    p[0] = kClamp.byte[l + blue], p[1] = kClamp.byte[l + green], p[2] = kClamp.byte[l + red];
  }
};
// The fourth byte of each pixel keeps its old value.
struct Pixel8888 {
  static constexpr int kBytes = 4;
  static void put(uint8_t* p, int l, int red, int green, int blue) {
    Pixel888::put(p, l, red, green, blue);
  }
};

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
      Pixel::put(out0, y0[x], red, green, blue);
      out0 += Pixel::kBytes;
      if constexpr (kTwo) {
        Pixel::put(out1, y1[x], red, green, blue);
        out1 += Pixel::kBytes;
      }
    }
  }
}

#if defined(__SSE2__)
// 5-6-5 lines in vectors of eight pixels: the chroma terms still come from
// the tables, one lookup set per chroma sample; sums, clamps and packing
// are the scalar ones, eight lanes at a time.
inline __m128i pack565(__m128i l, __m128i red, __m128i green, __m128i blue) {
  const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi16(255);
  auto clamp = [&](__m128i v) { return _mm_max_epi16(_mm_min_epi16(v, top), zero); };
  __m128i r = clamp(_mm_add_epi16(l, red)), g = clamp(_mm_add_epi16(l, green));
  __m128i b = clamp(_mm_add_epi16(l, blue));
  r = _mm_slli_epi16(_mm_and_si128(r, _mm_set1_epi16(0xF8)), 8);
  g = _mm_slli_epi16(_mm_and_si128(g, _mm_set1_epi16(0xFC)), 3);
  b = _mm_srli_epi16(b, 3);
  return _mm_or_si128(_mm_or_si128(r, g), b);
}

// Pixels [x, x + 16) of one or two lines; chroma from column x / kReplication.
template <int kReplication, bool kTwo>
inline void chunk565(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                     int32_t x, uint8_t* out0, uint8_t* out1) {
  const ColorTables& t = kColorTables;
  constexpr int kSamples = 16 / kReplication;
  alignas(16) int16_t red[16], green[16], blue[16];
  int32_t c0 = x / kReplication;
  for (int j = 0; j < kSamples; ++j) {
    int cbv = cb[c0 + j], crv = cr[c0 + j];
    red[j] = static_cast<int16_t>(t.cr_to_red[crv]);
    green[j] = static_cast<int16_t>(-t.cb_to_green[cbv] - t.cr_to_green[crv]);
    blue[j] = static_cast<int16_t>(t.cb_to_blue[cbv]);
  }
  __m128i terms[3][2];
  int16_t* sources[3] = {red, green, blue};
  for (int i = 0; i < 3; ++i) {
    __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(sources[i]));
    if constexpr (kReplication == 2) {
      terms[i][0] = _mm_unpacklo_epi16(v, v), terms[i][1] = _mm_unpackhi_epi16(v, v);
    } else {
      terms[i][0] = v;
      terms[i][1] = _mm_load_si128(reinterpret_cast<const __m128i*>(sources[i] + 8));
    }
  }
  const __m128i zero = _mm_setzero_si128();
  for (int line = 0; line < (kTwo ? 2 : 1); ++line) {
    __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>((line ? y1 : y0) + x));
    uint8_t* out = line ? out1 : out0;
    for (int h = 0; h < 2; ++h) {
      __m128i l16 = h == 0 ? _mm_unpacklo_epi8(l, zero) : _mm_unpackhi_epi8(l, zero);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * h),
                       pack565(l16, terms[0][h], terms[1][h], terms[2][h]));
    }
  }
}
#endif

// One or two lines of 5-6-5 pixels, vectors in the middle where there are.
template <int kReplication, bool kTwo>
void color_lines_565(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                     int32_t first, int32_t count, uint8_t* out0, uint8_t* out1) {
  int32_t x = first, end = first + count;
#if defined(__SSE2__)
  if constexpr (kReplication <= 2) {
    int32_t head = (kReplication - x % kReplication) % kReplication;
    if (head > count) head = count;
    color_lines<Pixel565, kReplication, kTwo>(y0, y1, cb, cr, x, head, out0, out1);
    x += head;
    out0 += 2 * head;
    if constexpr (kTwo) out1 += 2 * head;
    for (; x + 16 <= end; x += 16) {
      chunk565<kReplication, kTwo>(y0, y1, cb, cr, x, out0, out1);
      out0 += 32;
      if constexpr (kTwo) out1 += 32;
    }
  }
#endif
  color_lines<Pixel565, kReplication, kTwo>(y0, y1, cb, cr, x, end - x, out0, out1);
}

template <class Pixel, int kReplication>
void color_line_of(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first,
                   int32_t count, uint8_t* out) {
  if constexpr (std::is_same_v<Pixel, Pixel565>)
    color_lines_565<kReplication, false>(y, nullptr, cb, cr, first, count, out, nullptr);
  else
    color_lines<Pixel, kReplication, false>(y, nullptr, cb, cr, first, count, out, nullptr);
}

template <class Pixel, int kReplication>
void color_pair_of(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                   int32_t first, int32_t count, uint8_t* out0, uint8_t* out1) {
  if constexpr (std::is_same_v<Pixel, Pixel565>)
    color_lines_565<kReplication, true>(y0, y1, cb, cr, first, count, out0, out1);
  else
    color_lines<Pixel, kReplication, true>(y0, y1, cb, cr, first, count, out0, out1);
}

template <class Pixel>
void gray_line_of(const uint8_t* y, int32_t count, uint8_t* out) {
  for (int32_t i = 0; i < count; ++i, out += Pixel::kBytes)
    Pixel::put(out, y[i], kClampOffset, kClampOffset, kClampOffset);
}

template <class Pixel>
constexpr ColorLine kColorLines[kMaxReplication] = {
    color_line_of<Pixel, 1>, color_line_of<Pixel, 2>, color_line_of<Pixel, 3>,
    color_line_of<Pixel, 4>};
template <class Pixel>
constexpr ColorPair kColorPairs[kMaxReplication] = {
    color_pair_of<Pixel, 1>, color_pair_of<Pixel, 2>, color_pair_of<Pixel, 3>,
    color_pair_of<Pixel, 4>};

constexpr const ColorLine* kColorByDepth[4] = {nullptr, kColorLines<Pixel565>,
                                               kColorLines<Pixel888>, kColorLines<Pixel8888>};
constexpr const ColorPair* kPairByDepth[4] = {nullptr, kColorPairs<Pixel565>,
                                              kColorPairs<Pixel888>, kColorPairs<Pixel8888>};
constexpr GrayLine kGrayByDepth[4] = {nullptr, gray_line_of<Pixel565>, gray_line_of<Pixel888>,
                                      gray_line_of<Pixel8888>};

}  // namespace

constexpr ColorTables kColorTables = make_tables();

ColorLine color_line(int depth_index, int replication) {
  if (depth_index < 1 || depth_index > 3 || replication < 1 || replication > kMaxReplication)
    return nullptr;
  return kColorByDepth[depth_index][replication - 1];
}

ColorPair color_pair(int depth_index, int replication) {
  if (depth_index < 1 || depth_index > 3 || replication < 1 || replication > kMaxReplication)
    return nullptr;
  return kPairByDepth[depth_index][replication - 1];
}

GrayLine gray_line(int depth_index) {
  return depth_index >= 1 && depth_index <= 3 ? kGrayByDepth[depth_index] : nullptr;
}

}  // namespace rx::jpeg
