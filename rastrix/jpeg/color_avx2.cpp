// Line writers with 32-byte vectors: sixteen pixels in the 16-bit lanes of
// one register, the chroma terms of sixteen samples computed with rounding
// multiplies, bytes placed by shuffles.
#include "jpeg/color_forms.h"

#ifdef RASTRIX_HAS_AVX2
#include <immintrin.h>

#include <cstdint>
#include <type_traits>

namespace rx::jpeg {
namespace {

inline constexpr int kLanes = 16;  // pixels in one register's 16-bit lanes

inline __attribute__((target("avx2"))) __m256i widened(const uint8_t* sixteen) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sixteen)));
}

constexpr int32_t ceiling(double x) {
  int32_t v = static_cast<int32_t>(x);
  return v < x ? v + 1 : v;
}

// The table entries by one rounding multiply each. With d = i - 128, the
// multiply gives k d rounded half up; one more for the negative d whose
// entry is not zero (d <= -first_nonzero) makes it k d + 0.5 truncated
// toward zero. The factor is k * 2^(15 - shift) rounded up, with the
// smallest shift that keeps it in 16 bits; with these every one of the 256
// entries comes out equal (the unit tests go through them all).
struct RoundingFactor {
  double k;
  constexpr int shift() const {
    int s = 0;
    while (ceiling(k * (1 << (15 - s))) > INT16_MAX) ++s;
    return s;
  }
  constexpr int16_t scaled() const {
    return static_cast<int16_t>(ceiling(k * (1 << (15 - shift()))));
  }
  constexpr int16_t first_nonzero() const {
    int16_t m = 1;
    while (k * m <= 0.5) ++m;
    return m;
  }
};
inline constexpr RoundingFactor kRed{kCrToRed}, kGreenFromCb{kCbToGreen}, kGreenFromCr{kCrToGreen},
    kBlue{kCbToBlue};

// The entries of sixteen chroma differences d.
template <RoundingFactor kFactor>
inline __attribute__((target("avx2"))) __m256i term(__m256i d) {
  __m256i x = _mm256_mulhrs_epi16(_mm256_slli_epi16(d, kFactor.shift()),
                                  _mm256_set1_epi16(kFactor.scaled()));
  __m256i below =
      _mm256_add_epi16(d, _mm256_set1_epi16(static_cast<int16_t>(kFactor.first_nonzero() - 1)));
  return _mm256_sub_epi16(x, _mm256_srai_epi16(below, 15));
}

inline __attribute__((target("avx2"))) __m256i difference(const uint8_t* sixteen) {
  return _mm256_sub_epi16(widened(sixteen), _mm256_set1_epi16(kChromaCenter));
}

// The terms of sixteen pixels (or their sums with the luma).
struct Terms {
  __m256i red, green, blue;
};

inline __attribute__((target("avx2"))) Terms terms_of(const uint8_t* cb, const uint8_t* cr) {
  __m256i b = difference(cb), r = difference(cr);
  __m256i green = _mm256_sub_epi16(_mm256_sub_epi16(_mm256_setzero_si256(), term<kGreenFromCb>(b)),
                                   term<kGreenFromCr>(r));
  return {term<kRed>(r), green, term<kBlue>(b)};
}

// Each of sixteen lanes twice, in order: the first eight's into low, the
// last eight's into high.
inline __attribute__((target("avx2"))) void doubled(__m256i v, __m256i& low, __m256i& high) {
  __m256i quarters = _mm256_permute4x64_epi64(v, _MM_SHUFFLE(3, 1, 2, 0));
  low = _mm256_unpacklo_epi16(quarters, quarters);
  high = _mm256_unpackhi_epi16(quarters, quarters);
}

inline __attribute__((target("avx2"))) __m256i clamp_byte(__m256i v) {
  return _mm256_max_epi16(_mm256_min_epi16(v, _mm256_set1_epi16(255)), _mm256_setzero_si256());
}

inline __attribute__((target("avx2"))) void store565(uint8_t* out, const Terms& s) {
  __m256i r = _mm256_slli_epi16(_mm256_and_si256(clamp_byte(s.red), _mm256_set1_epi16(0xF8)), 8);
  __m256i g = _mm256_slli_epi16(_mm256_and_si256(clamp_byte(s.green), _mm256_set1_epi16(0xFC)), 3);
  __m256i b = _mm256_srli_epi16(clamp_byte(s.blue), 3);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_or_si256(_mm256_or_si256(r, g), b));
}

// Eight pixels' blue, green, red stored, their fourth bytes kept.
inline __attribute__((target("avx2"))) void keep_fourth_bytes(uint8_t* out, __m256i eight) {
  const __m256i kept = _mm256_set1_epi32(static_cast<int32_t>(0xFF000000u));
  __m256i* at = reinterpret_cast<__m256i*>(out);
  _mm256_storeu_si256(at, _mm256_or_si256(eight, _mm256_and_si256(_mm256_loadu_si256(at), kept)));
}

inline __attribute__((target("avx2"))) void store8888(uint8_t* out, const Terms& s) {
  // Per eight pixels (one half of each register): blue and red bytes,
  // green bytes; unsigned saturation is the clamp.
  __m256i blue_red = _mm256_packus_epi16(s.blue, s.red);
  __m256i green = _mm256_packus_epi16(s.green, _mm256_setzero_si256());
  __m256i bg = _mm256_unpacklo_epi8(blue_red, green), r0 = _mm256_unpackhi_epi8(blue_red, green);
  __m256i quads_a = _mm256_unpacklo_epi16(bg, r0);  // pixels 0..3 | 8..11
  __m256i quads_b = _mm256_unpackhi_epi16(bg, r0);  // pixels 4..7 | 12..15
  keep_fourth_bytes(out, _mm256_permute2x128_si256(quads_a, quads_b, 0x20));
  keep_fourth_bytes(out + 32, _mm256_permute2x128_si256(quads_a, quads_b, 0x31));
}

// Shuffle controls that lay eight pixels' bytes (blue and red from one
// register, b0..b7 r0..r7; green from another, g0..g7) out as 24 bytes:
// the first sixteen, then the last eight. The same in both halves.
struct Placement {
  alignas(32) int8_t head_from_blue_red[32], head_from_green[32];
  alignas(32) int8_t tail_from_blue_red[32], tail_from_green[32];
};

inline constexpr int8_t kZeroByte = -128;  // a shuffle index that yields zero

constexpr int8_t source_of(int byte, bool green) {
  int pixel = byte / 3, channel = byte % 3;  // 0 blue, 1 green, 2 red
  if (green) return channel == 1 ? static_cast<int8_t>(pixel) : kZeroByte;
  return channel == 0   ? static_cast<int8_t>(pixel)
         : channel == 2 ? static_cast<int8_t>(8 + pixel)
                        : kZeroByte;
}

constexpr Placement make_placement() {
  Placement p{};
  for (int i = 0; i < 32; ++i) {
    int j = i % 16;
    p.head_from_blue_red[i] = source_of(j, false);
    p.head_from_green[i] = source_of(j, true);
    p.tail_from_blue_red[i] = j < 8 ? source_of(16 + j, false) : kZeroByte;
    p.tail_from_green[i] = j < 8 ? source_of(16 + j, true) : kZeroByte;
  }
  return p;
}
constexpr Placement kPlacement = make_placement();

inline __attribute__((target("avx2"))) __m256i shuffled(__m256i v, const int8_t* control) {
  return _mm256_shuffle_epi8(v, _mm256_load_si256(reinterpret_cast<const __m256i*>(control)));
}

inline __attribute__((target("avx2"))) __m256i placed(__m256i blue_red, __m256i green,
                                                      const int8_t* from_blue_red,
                                                      const int8_t* from_green) {
  return _mm256_or_si256(shuffled(blue_red, from_blue_red), shuffled(green, from_green));
}

inline __attribute__((target("avx2"))) void store888(uint8_t* out, const Terms& s) {
  __m256i blue_red = _mm256_packus_epi16(s.blue, s.red);
  __m256i green = _mm256_packus_epi16(s.green, s.green);
  const Placement& p = kPlacement;
  __m256i head = placed(blue_red, green, p.head_from_blue_red, p.head_from_green);
  __m256i tail = placed(blue_red, green, p.tail_from_blue_red, p.tail_from_green);
  for (int half = 0; half < 2; ++half) {
    __m128i h = half == 0 ? _mm256_castsi256_si128(head) : _mm256_extracti128_si256(head, 1);
    __m128i t = half == 0 ? _mm256_castsi256_si128(tail) : _mm256_extracti128_si256(tail, 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 24 * half), h);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 24 * half + 16), t);
  }
}

template <class Pixel>
inline __attribute__((target("avx2"))) void store(uint8_t* out, const Terms& sums) {
  if constexpr (std::is_same_v<Pixel, Pixel16>)
    store565(out, sums);
  else if constexpr (std::is_same_v<Pixel, Pixel24>)
    store888(out, sums);
  else
    store8888(out, sums);
}

inline __attribute__((target("avx2"))) Terms plus_luma(const Terms& t, __m256i luma) {
  return {_mm256_add_epi16(luma, t.red), _mm256_add_epi16(luma, t.green),
          _mm256_add_epi16(luma, t.blue)};
}

// Pixels [x, x + 16 * kReplication) of one or two lines: sixteen chroma
// samples from column x / kReplication.
template <class Pixel, int kReplication, bool kTwo>
inline __attribute__((target("avx2"))) void chunk(const uint8_t* y0, const uint8_t* y1,
                                                  const uint8_t* cb, const uint8_t* cr, int32_t x,
                                                  uint8_t* out0, uint8_t* out1) {
  int32_t c = x / kReplication;
  Terms t = terms_of(cb + c, cr + c);
  Terms parts[kReplication];  // per sixteen pixels
  if constexpr (kReplication == 1) {
    parts[0] = t;
  } else {
    doubled(t.red, parts[0].red, parts[1].red);
    doubled(t.green, parts[0].green, parts[1].green);
    doubled(t.blue, parts[0].blue, parts[1].blue);
  }
  for (int line = 0; line < (kTwo ? 2 : 1); ++line) {
    const uint8_t* y = (line ? y1 : y0) + x;
    uint8_t* out = line ? out1 : out0;
    for (int k = 0; k < kReplication; ++k)
      store<Pixel>(out + Pixel::kBytes * kLanes * k, plus_luma(parts[k], widened(y + kLanes * k)));
  }
}

// Whole chunks of 16 * kReplication pixels, the portable writer around
// them; everything inlined into this function, built for these vectors.
template <class Pixel, int kReplication, bool kTwo>
__attribute__((target("avx2"), flatten)) void lines_avx2(const uint8_t* y0, const uint8_t* y1,
                                                         const uint8_t* cb, const uint8_t* cr,
                                                         int32_t first, int32_t count,
                                                         uint8_t* out0, uint8_t* out1) {
  color_lines_chunked<Pixel, kReplication, kTwo, kLanes * kReplication,
                      chunk<Pixel, kReplication, kTwo>>(y0, y1, cb, cr, first, count, out0, out1);
}

template <class Pixel, int kReplication>
void line_avx2(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first, int32_t count,
               uint8_t* out) {
  lines_avx2<Pixel, kReplication, false>(y, nullptr, cb, cr, first, count, out, nullptr);
}

template <class Pixel>
__attribute__((target("avx2"))) void gray_avx2(const uint8_t* y, int32_t count, uint8_t* out) {
  int32_t i = 0;
  for (; i + kLanes <= count; i += kLanes, out += Pixel::kBytes * kLanes) {
    __m256i l = widened(y + i);
    store<Pixel>(out, {l, l, l});
  }
  gray_line_scalar_of<Pixel>(y + i, count - i, out);
}

template <class Pixel>
constexpr void fill_depth(Writers& w, int depth_index) {
  w.line[depth_index][0] = line_avx2<Pixel, 1>;
  w.line[depth_index][1] = line_avx2<Pixel, 2>;
  w.line[depth_index][2] = color_line_scalar_of<Pixel, 3>;
  w.line[depth_index][3] = color_line_scalar_of<Pixel, 4>;
  w.pair[depth_index][0] = lines_avx2<Pixel, 1, true>;
  w.pair[depth_index][1] = lines_avx2<Pixel, 2, true>;
  w.pair[depth_index][2] = color_lines<Pixel, 3, true>;
  w.pair[depth_index][3] = color_lines<Pixel, 4, true>;
  w.gray[depth_index] = gray_avx2<Pixel>;
}

constexpr Writers make_writers() {
  Writers w{};
  fill_depth<Pixel16>(w, 1);
  fill_depth<Pixel24>(w, 2);
  fill_depth<Pixel32>(w, 3);
  return w;
}

}  // namespace

constexpr Writers kAvx2Writers = make_writers();

}  // namespace rx::jpeg
#endif
