#include "jpeg/idct.h"

#include <cstring>

#include "jpeg/idct_constants.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rx::jpeg {
namespace {

using namespace idct_constants;

// One 8-point kernel. Unsigned arithmetic wraps as the signed 32-bit
// arithmetic it stands for, without undefined overflow.
inline void kernel(const uint32_t s[8], uint32_t d[8]) {
  uint32_t z1 = (s[2] + s[6]) * kF0541;
  uint32_t t2 = z1 - s[6] * kF1847;
  uint32_t t3 = z1 + s[2] * kF0765;
  uint32_t t0 = (s[0] + s[4]) * kOne;
  uint32_t t1 = (s[0] - s[4]) * kOne;
  uint32_t e10 = t0 + t3, e13 = t0 - t3, e11 = t1 + t2, e12 = t1 - t2;

  uint32_t o0 = s[7], o1 = s[5], o2 = s[3], o3 = s[1];
  z1 = o0 + o3;
  uint32_t z2 = o1 + o2, z3 = o0 + o2, z4 = o1 + o3;
  uint32_t z5 = (z3 + z4) * kF1175;
  o0 *= kF0298;
  o1 *= kF2053;
  o2 *= kF3072;
  o3 *= kF1501;
  z1 = 0u - z1 * kF0899;
  z2 = 0u - z2 * kF2562;
  z3 = z5 - z3 * kF1961;
  z4 = z5 - z4 * kF0390;
  o0 += z1 + z3;
  o1 += z2 + z4;
  o2 += z2 + z3;
  o3 += z1 + z4;

  d[0] = e10 + o3, d[7] = e10 - o3;
  d[1] = e11 + o2, d[6] = e11 - o2;
  d[2] = e12 + o1, d[5] = e12 - o1;
  d[3] = e13 + o0, d[4] = e13 - o0;
}

inline uint8_t clamp_sample(int32_t v) {
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline uint8_t dc_sample(int16_t dc) {
  int32_t w = static_cast<int16_t>(static_cast<uint32_t>(dc) * 4);
  return clamp_sample(((w + 16) >> 5) + kCenter);
}

}  // namespace

void idct_block_scalar(const int16_t* in, uint8_t* out, int32_t stride) {
  int16_t ws[64];
  for (int col = 0; col < 8; ++col) {
    const int16_t* c = in + col;
    if ((c[8] | c[16] | c[24] | c[32] | c[40] | c[48] | c[56]) == 0) {
      int16_t dc = static_cast<int16_t>(static_cast<uint32_t>(c[0]) * 4);
      for (int k = 0; k < 8; ++k) ws[k * 8 + col] = dc;
      continue;
    }
    uint32_t s[8], d[8];
    for (int k = 0; k < 8; ++k) s[k] = static_cast<uint32_t>(static_cast<int32_t>(c[k * 8]));
    kernel(s, d);
    for (int k = 0; k < 8; ++k)
      ws[k * 8 + col] =
          static_cast<int16_t>(static_cast<int32_t>(d[k] + kPass1Round) >> kPass1Shift);
  }
  for (int row = 0; row < 8; ++row) {
    uint32_t s[8], d[8];
    for (int k = 0; k < 8; ++k) s[k] = static_cast<uint32_t>(static_cast<int32_t>(ws[row * 8 + k]));
    kernel(s, d);
    uint8_t* o = out + row * stride;
    for (int k = 0; k < 8; ++k)
      o[k] = clamp_sample((static_cast<int32_t>(d[k] + kPass2Round) >> kPass2Shift) + kCenter);
  }
}

void idct_dc_only(int16_t dc, uint8_t* out, int32_t stride) {
  uint8_t v = dc_sample(dc);
  for (int row = 0; row < 8; ++row) std::memset(out + row * stride, v, 8);
}

#if defined(__SSE2__)
namespace {

// The kernel on eight vectors of 16-bit inputs, four lanes at a time in
// 32 bits: every product pair is one multiply-add, the sums regrouped
// exactly (modulo 2^32) from the scalar kernel's.
// Factors a, b in every pair of 16-bit lanes; the sums of factors wrap as
// the 32-bit arithmetic they stand for and are cut to 16 bits.
inline __m128i pair(uint32_t a, uint32_t b) {
  const auto lo = static_cast<int16_t>(a), hi = static_cast<int16_t>(b);
  return _mm_set_epi16(hi, lo, hi, lo, hi, lo, hi, lo);
}

struct Halves {
  __m128i lo[8], hi[8];
};

// kTopLeft: inputs 4..7 are zero (a block whose terms all lie in the
// upper-left 4x4 corner has them zero in both passes), and the products
// with them are left out.
template <bool kTopLeft>
inline void kernel_simd(const __m128i s[8], Halves& d) {
  const __m128i c_t2 = pair(kF0541, kF0541 - kF1847), c_t3 = pair(kF0541 + kF0765, kF0541);
  const __m128i c_sum = pair(kOne, kOne), c_diff = pair(kOne, 0u - kOne);
  // Odd outputs over (s7, s5) and (s3, s1).
  const __m128i c_o0a = pair(kF0298 - kF0899 - kF1961 + kF1175, kF1175);
  const __m128i c_o0b = pair(kF1175 - kF1961, kF1175 - kF0899);
  const __m128i c_o1a = pair(kF1175, kF2053 - kF2562 + kF1175 - kF0390);
  const __m128i c_o1b = pair(kF1175 - kF2562, kF1175 - kF0390);
  const __m128i c_o2a = pair(kF1175 - kF1961, kF1175 - kF2562);
  const __m128i c_o2b = pair(kF3072 - kF2562 + kF1175 - kF1961, kF1175);
  const __m128i c_o3a = pair(kF1175 - kF0899, kF1175 - kF0390);
  const __m128i c_o3b = pair(kF1175, kF1501 - kF0899 + kF1175 - kF0390);
  for (int half = 0; half < 2; ++half) {
    auto unpack = [half](__m128i a, __m128i b) {
      return half == 0 ? _mm_unpacklo_epi16(a, b) : _mm_unpackhi_epi16(a, b);
    };
    const __m128i zero = _mm_setzero_si128();
    __m128i p26 = unpack(s[2], kTopLeft ? zero : s[6]);
    __m128i p04 = unpack(s[0], kTopLeft ? zero : s[4]);
    __m128i p31 = unpack(s[3], s[1]);
    __m128i t2 = _mm_madd_epi16(p26, c_t2), t3 = _mm_madd_epi16(p26, c_t3);
    __m128i t0 = _mm_madd_epi16(p04, c_sum), t1 = kTopLeft ? t0 : _mm_madd_epi16(p04, c_diff);
    __m128i e10 = _mm_add_epi32(t0, t3), e13 = _mm_sub_epi32(t0, t3);
    __m128i e11 = _mm_add_epi32(t1, t2), e12 = _mm_sub_epi32(t1, t2);
    __m128i o0 = _mm_madd_epi16(p31, c_o0b), o1 = _mm_madd_epi16(p31, c_o1b);
    __m128i o2 = _mm_madd_epi16(p31, c_o2b), o3 = _mm_madd_epi16(p31, c_o3b);
    if constexpr (!kTopLeft) {
      __m128i p75 = unpack(s[7], s[5]);
      o0 = _mm_add_epi32(o0, _mm_madd_epi16(p75, c_o0a));
      o1 = _mm_add_epi32(o1, _mm_madd_epi16(p75, c_o1a));
      o2 = _mm_add_epi32(o2, _mm_madd_epi16(p75, c_o2a));
      o3 = _mm_add_epi32(o3, _mm_madd_epi16(p75, c_o3a));
    }
    __m128i* out = half == 0 ? d.lo : d.hi;
    out[0] = _mm_add_epi32(e10, o3), out[7] = _mm_sub_epi32(e10, o3);
    out[1] = _mm_add_epi32(e11, o2), out[6] = _mm_sub_epi32(e11, o2);
    out[2] = _mm_add_epi32(e12, o1), out[5] = _mm_sub_epi32(e12, o1);
    out[3] = _mm_add_epi32(e13, o0), out[4] = _mm_sub_epi32(e13, o0);
  }
}

inline void transpose(__m128i r[8]) {
  __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
  __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
  __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
  __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
  __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  r[0] = _mm_unpacklo_epi64(b0, b4), r[1] = _mm_unpackhi_epi64(b0, b4);
  r[2] = _mm_unpacklo_epi64(b1, b5), r[3] = _mm_unpackhi_epi64(b1, b5);
  r[4] = _mm_unpacklo_epi64(b2, b6), r[5] = _mm_unpackhi_epi64(b2, b6);
  r[6] = _mm_unpacklo_epi64(b3, b7), r[7] = _mm_unpackhi_epi64(b3, b7);
}

// Low 16 bits of each 32-bit lane, sign-extended, so that packing
// truncates as the scalar pass does instead of saturating.
inline __m128i low16(__m128i v) { return _mm_srai_epi32(_mm_slli_epi32(v, 16), 16); }

template <bool kTopLeft>
void idct_simd(const int16_t* in, uint8_t* out, int32_t stride) {
  __m128i r[8];
  for (int k = 0; k < 8; ++k)
    r[k] = kTopLeft && k >= 4 ? _mm_setzero_si128()
                              : _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * k));
  Halves d;
  kernel_simd<kTopLeft>(r, d);
  const __m128i round1 = _mm_set1_epi32(kPass1Round);
  for (int k = 0; k < 8; ++k) {
    __m128i lo = low16(_mm_srai_epi32(_mm_add_epi32(d.lo[k], round1), kPass1Shift));
    __m128i hi = low16(_mm_srai_epi32(_mm_add_epi32(d.hi[k], round1), kPass1Shift));
    r[k] = _mm_packs_epi32(lo, hi);
  }
  transpose(r);
  kernel_simd<kTopLeft>(r, d);
  const __m128i round2 = _mm_set1_epi32(kPass2Round), center = _mm_set1_epi16(kCenter);
  for (int k = 0; k < 8; ++k) {
    __m128i lo = _mm_srai_epi32(_mm_add_epi32(d.lo[k], round2), kPass2Shift);
    __m128i hi = _mm_srai_epi32(_mm_add_epi32(d.hi[k], round2), kPass2Shift);
    r[k] = _mm_adds_epi16(_mm_packs_epi32(lo, hi), center);
  }
  transpose(r);
  for (int k = 0; k < 8; k += 2) {
    __m128i two = _mm_packus_epi16(r[k], r[k + 1]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k * stride), two);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (k + 1) * stride), _mm_srli_si128(two, 8));
  }
}

}  // namespace

void idct_block(const int16_t* in, uint8_t* out, int32_t stride) {
  idct_simd<false>(in, out, stride);
}

void idct_top_left(const int16_t* in, uint8_t* out, int32_t stride) {
  idct_simd<true>(in, out, stride);
}
#else
void idct_block(const int16_t* in, uint8_t* out, int32_t stride) {
  idct_block_scalar(in, out, stride);
}

void idct_top_left(const int16_t* in, uint8_t* out, int32_t stride) {
  idct_block_scalar(in, out, stride);
}
#endif

const IdctForms& idct_forms() {
  static constexpr IdctForms kPortableForms{idct_block_scalar, idct_block_scalar};
  static constexpr IdctForms kVectorForms{idct_block, idct_top_left};
  CpuLevel level = cpu_level();
#ifdef RASTRIX_HAS_AVX2
  static constexpr IdctForms kAvx2Forms{idct_block_avx2, idct_top_left_avx2};
  if (level >= CpuLevel::kAvx2) return kAvx2Forms;
#endif
  return level >= CpuLevel::kSse2 ? kVectorForms : kPortableForms;
}

}  // namespace rx::jpeg
