// 16-bit runs with 64-byte vectors: the palette's 256 5-6-5 values sit in
// eight registers, up to 32 indices become pixels in four table permutes,
// and a masked store writes exactly the run's pixels. No pixel past a run
// is read or rewritten, so a run of any length at any column costs the
// same few instructions.
// Only where avx512_usable(); the decoders that use it are built for
// these instructions as a whole (see pixel_chunks.cpp).
#pragma once

#include "core/cpu_features.h"

#ifdef RASTRIX_HAS_AVX512
#include <immintrin.h>

#include <cstdint>

#include "core/lane_masks.h"
#include "flic/row_writers.h"

namespace rx::flic {

inline constexpr int32_t kVectorPixels = kIndexLoad;  // 16-bit pixels in a register

// The palette's 5-6-5 values, 32 entries a register: 0-31 in p0, 32-63 in
// p1 and so on. Loaded once per decoder call; the loops keep them in
// registers.
struct PaletteRegisters {
  __m512i p0, p1, p2, p3, p4, p5, p6, p7;
};

__attribute__((target("avx512bw,avx512vl,bmi2"))) inline __m512i palette_part(
    const uint16_t* rgb565, int i) {
  return _mm512_loadu_si512(rgb565 + kVectorPixels * i);
}
__attribute__((target("avx512bw,avx512vl,bmi2"))) inline PaletteRegisters load_palette_registers(
    const uint16_t* m) {
  return {palette_part(m, 0), palette_part(m, 1), palette_part(m, 2), palette_part(m, 3),
          palette_part(m, 4), palette_part(m, 5), palette_part(m, 6), palette_part(m, 7)};
}

// The pixels of 32 indices: each pair of parts is looked up by the low six
// bits, then bits 6 and 7 choose among the four results.
__attribute__((target("avx512bw,avx512vl,bmi2"))) inline __m512i palette_pixels(
    const PaletteRegisters& p, __m256i indices) {
  const __m512i i = _mm512_cvtepu8_epi16(indices);
  const __m512i q0 = _mm512_permutex2var_epi16(p.p0, i, p.p1);
  const __m512i q1 = _mm512_permutex2var_epi16(p.p2, i, p.p3);
  const __m512i q2 = _mm512_permutex2var_epi16(p.p4, i, p.p5);
  const __m512i q3 = _mm512_permutex2var_epi16(p.p6, i, p.p7);
  const __mmask32 bit6 = _mm512_test_epi16_mask(i, _mm512_set1_epi16(0x40));
  const __mmask32 bit7 = _mm512_test_epi16_mask(i, _mm512_set1_epi16(0x80));
  return _mm512_mask_blend_epi16(bit7, _mm512_mask_blend_epi16(bit6, q0, q1),
                                 _mm512_mask_blend_epi16(bit6, q2, q3));
}

__attribute__((target("avx512bw,avx512vl,bmi2"))) inline __m256i load_indices(const uint8_t* src) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
}

// n pixels at d from the pattern v, which repeats every one or two pixels.
__attribute__((target("avx512bw,avx512vl,bmi2"))) inline void put_masked_pattern(uint8_t* d,
                                                                                 __m512i v,
                                                                                 int32_t n) {
  for (; n > kVectorPixels; n -= kVectorPixels, d += 2 * kVectorPixels) _mm512_storeu_si512(d, v);
  _mm512_mask_storeu_epi16(d, first_lanes(n), v);
}

// 16 bits, runs stored by the functions above.
struct Masked16 : RowFormat<Pixel16> {
  static constexpr bool kMasked = true;
  using Registers = PaletteRegisters;
  __attribute__((target("avx512bw,avx512vl,bmi2"))) static Registers registers() {
    return load_palette_registers(table());
  }
  // n pixels at d from the indices src[0 .. n); with kReadAhead, src may
  // be read up to kRunReadAhead bytes past them, else not at all.
  template <bool kReadAhead>
  __attribute__((target("avx512bw,avx512vl,bmi2"))) static void put_copy(uint8_t* d,
                                                                         const uint8_t* src,
                                                                         int32_t n,
                                                                         const Registers& r) {
    for (; n > kVectorPixels; n -= kVectorPixels, d += 2 * kVectorPixels, src += kVectorPixels)
      _mm512_storeu_si512(d, palette_pixels(r, load_indices(src)));
    const __mmask32 run = first_lanes(n);
    const __m256i last = kReadAhead ? load_indices(src) : _mm256_maskz_loadu_epi8(run, src);
    _mm512_mask_storeu_epi16(d, run, palette_pixels(r, last));
  }
  __attribute__((target("avx512bw,avx512vl,bmi2"))) static void put_fill(uint8_t* d, uint16_t pixel,
                                                                         int32_t n) {
    put_masked_pattern(d, _mm512_set1_epi16(static_cast<int16_t>(pixel)), n);
  }
  // Two pixels alternating, the lower first.
  __attribute__((target("avx512bw,avx512vl,bmi2"))) static void put_pairs(uint8_t* d, uint32_t pair,
                                                                          int32_t n) {
    put_masked_pattern(d, _mm512_set1_epi32(static_cast<int32_t>(pair)), n);
  }
};

}  // namespace rx::flic
#endif
