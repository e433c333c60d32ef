#include "jpeg/color.h"

#include <cstring>
#include <type_traits>

#include "jpeg/color_forms.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rx::jpeg {
namespace {

constexpr int32_t table_entry(double k, int i) {
  return static_cast<int32_t>(k * (i - kChromaCenter) + 0.5);  // truncation toward zero
}

constexpr ColorTables make_tables() {
  ColorTables t{};
  for (int i = 0; i < 256; ++i) {
    t.cr_to_red[i] = table_entry(kCrToRed, i);
    t.cb_to_green[i] = table_entry(kCbToGreen, i);
    t.cr_to_green[i] = table_entry(kCrToGreen, i);
    t.cb_to_blue[i] = table_entry(kCbToBlue, i);
  }
  return t;
}

#if defined(__SSE2__)
// Lines in vectors of sixteen pixels: the chroma terms still come from the
// tables, one lookup set per chroma sample; sums, clamps and packing are
// the scalar ones, eight 16-bit lanes at a time.
inline constexpr int kChunk = 16;

// Sixteen pixels' unclamped sums (Y plus chroma term), two halves of eight.
struct Sums {
  __m128i red[2], green[2], blue[2];
};

inline __m128i clamp_byte(__m128i v) {
  return _mm_max_epi16(_mm_min_epi16(v, _mm_set1_epi16(255)), _mm_setzero_si128());
}

inline void store565(uint8_t* out, const Sums& s) {
  for (int h = 0; h < 2; ++h) {
    __m128i r = clamp_byte(s.red[h]), g = clamp_byte(s.green[h]), b = clamp_byte(s.blue[h]);
    r = _mm_slli_epi16(_mm_and_si128(r, _mm_set1_epi16(0xF8)), 8);
    g = _mm_slli_epi16(_mm_and_si128(g, _mm_set1_epi16(0xFC)), 3);
    b = _mm_srli_epi16(b, 3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * h), _mm_or_si128(_mm_or_si128(r, g), b));
  }
}

// The sixteen pixels as blue, green, red, 0 in four vectors of four;
// unsigned saturation is the clamp.
inline void quads(const Sums& s, __m128i q[4]) {
  const __m128i zero = _mm_setzero_si128();
  __m128i r = _mm_packus_epi16(s.red[0], s.red[1]);
  __m128i g = _mm_packus_epi16(s.green[0], s.green[1]);
  __m128i b = _mm_packus_epi16(s.blue[0], s.blue[1]);
  __m128i bg_lo = _mm_unpacklo_epi8(b, g), bg_hi = _mm_unpackhi_epi8(b, g);
  __m128i r_lo = _mm_unpacklo_epi8(r, zero), r_hi = _mm_unpackhi_epi8(r, zero);
  q[0] = _mm_unpacklo_epi16(bg_lo, r_lo), q[1] = _mm_unpackhi_epi16(bg_lo, r_lo);
  q[2] = _mm_unpacklo_epi16(bg_hi, r_hi), q[3] = _mm_unpackhi_epi16(bg_hi, r_hi);
}

// Four pixels of four bytes to twelve bytes in the low end.
inline __m128i compact(__m128i q) {
  const __m128i low3 = _mm_set1_epi64x(0x0000000000FFFFFF);
  const __m128i next3 = _mm_set1_epi64x(0x0000FFFFFF000000);
  __m128i six = _mm_or_si128(_mm_and_si128(q, low3), _mm_and_si128(_mm_srli_epi64(q, 8), next3));
  const __m128i first6 = _mm_set_epi32(0, 0, 0x0000FFFF, -1);
  return _mm_or_si128(_mm_and_si128(six, first6), _mm_andnot_si128(first6, _mm_srli_si128(six, 2)));
}

inline void store888(uint8_t* out, const Sums& s) {
  __m128i q[4];
  quads(s, q);
  __m128i a = compact(q[0]), b = compact(q[1]), c = compact(q[2]), d = compact(q[3]);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_or_si128(a, _mm_slli_si128(b, 12)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16),
                   _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32),
                   _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
}

inline void store8888(uint8_t* out, const Sums& s) {
  __m128i q[4];
  quads(s, q);
  const __m128i kept = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
  for (int k = 0; k < 4; ++k) {
    __m128i* at = reinterpret_cast<__m128i*>(out + 16 * k);
    _mm_storeu_si128(at, _mm_or_si128(q[k], _mm_and_si128(_mm_loadu_si128(at), kept)));
  }
}

template <class Pixel>
inline void store(uint8_t* out, const Sums& s) {
  if constexpr (std::is_same_v<Pixel, Pixel16>)
    store565(out, s);
  else if constexpr (std::is_same_v<Pixel, Pixel24>)
    store888(out, s);
  else
    store8888(out, s);
}

// The table entries, computed for eight chroma samples at once. With
// d = i - 128 and a = |d|: x = floor(2 k a) from a 16-bit factor
// (k * 2^(17 - kShift), applied to a << kShift), then the entry is
// (x + 1) >> 1 for d >= 0 and -max((x - 1) >> 1, 0) for d < 0. The shifts
// are the smallest for which every one of the 256 entries comes out equal
// (the unit tests go through them all).
struct Factor {
  double k;
  int shift;
  constexpr uint16_t scaled() const { return static_cast<uint16_t>(k * (1 << (17 - shift)) + 0.5); }
};
inline constexpr Factor kRedFactor{kCrToRed, 2}, kGreenFromCb{kCbToGreen, 0},
    kGreenFromCr{kCrToGreen, 1}, kBlueFactor{kCbToBlue, 2};

// One chroma vector's differences: magnitude, sign (0 or -1 per lane) and
// the rounding bias 1 + 2 * sign.
struct Chroma {
  __m128i magnitude, sign, bias;
};

inline Chroma chroma_of(__m128i samples16) {
  __m128i d = _mm_sub_epi16(samples16, _mm_set1_epi16(kChromaCenter));
  __m128i sign = _mm_srai_epi16(d, 15);
  return {_mm_sub_epi16(_mm_xor_si128(d, sign), sign), sign,
          _mm_add_epi16(_mm_set1_epi16(1), _mm_add_epi16(sign, sign))};
}

template <Factor kFactor>
inline __m128i term(const Chroma& c) {
  __m128i x = _mm_mulhi_epu16(_mm_slli_epi16(c.magnitude, kFactor.shift),
                              _mm_set1_epi16(static_cast<int16_t>(kFactor.scaled())));
  __m128i g = _mm_max_epi16(_mm_srai_epi16(_mm_add_epi16(x, c.bias), 1), _mm_setzero_si128());
  return _mm_sub_epi16(_mm_xor_si128(g, c.sign), c.sign);
}

// Pixels [x, x + 16) of one or two lines; chroma from column x / kReplication.
template <class Pixel, int kReplication, bool kTwo>
inline void chunk(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                  int32_t x, uint8_t* out0, uint8_t* out1) {
  const __m128i zero = _mm_setzero_si128();
  __m128i terms[3][2];  // red, green, blue; two halves of eight pixels
  int32_t c0 = x / kReplication;
  auto terms_of = [](__m128i cb16, __m128i cr16, int h, __m128i t[3][2]) {
    Chroma b = chroma_of(cb16), r = chroma_of(cr16);
    t[0][h] = term<kRedFactor>(r);
    t[1][h] = _mm_sub_epi16(_mm_sub_epi16(_mm_setzero_si128(), term<kGreenFromCb>(b)),
                            term<kGreenFromCr>(r));
    t[2][h] = term<kBlueFactor>(b);
  };
  if constexpr (kReplication == 2) {
    __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + c0)), zero);
    __m128i r = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + c0)), zero);
    __m128i eight[3][2];
    terms_of(b, r, 0, eight);
    for (int i = 0; i < 3; ++i)
      terms[i][0] = _mm_unpacklo_epi16(eight[i][0], eight[i][0]),
      terms[i][1] = _mm_unpackhi_epi16(eight[i][0], eight[i][0]);
  } else {
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + c0));
    __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + c0));
    terms_of(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(r, zero), 0, terms);
    terms_of(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(r, zero), 1, terms);
  }
  for (int line = 0; line < (kTwo ? 2 : 1); ++line) {
    __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>((line ? y1 : y0) + x));
    Sums s;
    for (int h = 0; h < 2; ++h) {
      __m128i l16 = h == 0 ? _mm_unpacklo_epi8(l, zero) : _mm_unpackhi_epi8(l, zero);
      s.red[h] = _mm_add_epi16(l16, terms[0][h]);
      s.green[h] = _mm_add_epi16(l16, terms[1][h]);
      s.blue[h] = _mm_add_epi16(l16, terms[2][h]);
    }
    store<Pixel>(line ? out1 : out0, s);
  }
}
#endif

// One or two lines, vectors in the middle where there are.
template <class Pixel, int kReplication, bool kTwo>
void color_lines_fast(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                      int32_t first, int32_t count, uint8_t* out0, uint8_t* out1) {
#if defined(__SSE2__)
  if constexpr (kReplication <= 2) {
    return color_lines_chunked<Pixel, kReplication, kTwo, kChunk, chunk<Pixel, kReplication, kTwo>>(
        y0, y1, cb, cr, first, count, out0, out1);
  }
#endif
  color_lines<Pixel, kReplication, kTwo>(y0, y1, cb, cr, first, count, out0, out1);
}

template <class Pixel, int kReplication>
void color_line_of(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first,
                   int32_t count, uint8_t* out) {
  color_lines_fast<Pixel, kReplication, false>(y, nullptr, cb, cr, first, count, out, nullptr);
}

template <class Pixel, int kReplication>
void color_pair_of(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb, const uint8_t* cr,
                   int32_t first, int32_t count, uint8_t* out0, uint8_t* out1) {
  color_lines_fast<Pixel, kReplication, true>(y0, y1, cb, cr, first, count, out0, out1);
}

template <class Pixel>
void gray_line_of(const uint8_t* y, int32_t count, uint8_t* out) {
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + kChunk <= count; i += kChunk, out += Pixel::kBytes * kChunk) {
    __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + i));
    Sums s;
    for (int h = 0; h < 2; ++h)
      s.red[h] = s.green[h] = s.blue[h] =
          h == 0 ? _mm_unpacklo_epi8(l, zero) : _mm_unpackhi_epi8(l, zero);
    store<Pixel>(out, s);
  }
#endif
  gray_line_scalar_of<Pixel>(y + i, count - i, out);
}

template <class Pixel>
constexpr void fill_depth(Writers& w, int depth_index, bool fast) {
  w.line[depth_index][0] = fast ? color_line_of<Pixel, 1> : color_line_scalar_of<Pixel, 1>;
  w.line[depth_index][1] = fast ? color_line_of<Pixel, 2> : color_line_scalar_of<Pixel, 2>;
  w.line[depth_index][2] = fast ? color_line_of<Pixel, 3> : color_line_scalar_of<Pixel, 3>;
  w.line[depth_index][3] = fast ? color_line_of<Pixel, 4> : color_line_scalar_of<Pixel, 4>;
  w.pair[depth_index][0] = fast ? color_pair_of<Pixel, 1> : color_lines<Pixel, 1, true>;
  w.pair[depth_index][1] = fast ? color_pair_of<Pixel, 2> : color_lines<Pixel, 2, true>;
  w.pair[depth_index][2] = fast ? color_pair_of<Pixel, 3> : color_lines<Pixel, 3, true>;
  w.pair[depth_index][3] = fast ? color_pair_of<Pixel, 4> : color_lines<Pixel, 4, true>;
  w.gray[depth_index] = fast ? gray_line_of<Pixel> : gray_line_scalar_of<Pixel>;
}

constexpr Writers make_writers(bool fast) {
  Writers w{};
  fill_depth<Pixel16>(w, 1, fast);
  fill_depth<Pixel24>(w, 2, fast);
  fill_depth<Pixel32>(w, 3, fast);
  return w;
}

// The set of the instruction level in use.
const Writers& vector_writers() {
  CpuLevel level = cpu_level();
#ifdef RASTRIX_HAS_AVX2
  if (level >= CpuLevel::kAvx2) return kAvx2Writers;
#endif
  return level >= CpuLevel::kSse2 ? kVectorWriters : kScalarWriters;
}

bool writer_exists(int depth_index, int replication) {
  return depth_index >= 1 && depth_index <= 3 && replication >= 1 && replication <= kMaxReplication;
}

ColorLine line_in(const Writers& w, int depth_index, int replication) {
  return writer_exists(depth_index, replication) ? w.line[depth_index][replication - 1] : nullptr;
}

ColorPair pair_in(const Writers& w, int depth_index, int replication) {
  return writer_exists(depth_index, replication) ? w.pair[depth_index][replication - 1] : nullptr;
}

GrayLine gray_in(const Writers& w, int depth_index) {
  return writer_exists(depth_index, 1) ? w.gray[depth_index] : nullptr;
}

}  // namespace

constexpr ColorTables kColorTables = make_tables();
constexpr Writers kVectorWriters = make_writers(true);
constexpr Writers kScalarWriters = make_writers(false);

ColorLine color_line(int depth_index, int replication) {
  return line_in(vector_writers(), depth_index, replication);
}

ColorPair color_pair(int depth_index, int replication) {
  return pair_in(vector_writers(), depth_index, replication);
}

GrayLine gray_line(int depth_index) { return gray_in(vector_writers(), depth_index); }

ColorLine color_line_scalar(int depth_index, int replication) {
  return line_in(kScalarWriters, depth_index, replication);
}

ColorPair color_pair_scalar(int depth_index, int replication) {
  return pair_in(kScalarWriters, depth_index, replication);
}

GrayLine gray_line_scalar(int depth_index) { return gray_in(kScalarWriters, depth_index); }

}  // namespace rx::jpeg
