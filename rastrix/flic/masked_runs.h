// 16-bit runs with 64-byte vectors: the palette's 256 5-6-5 values sit in
// eight registers, up to 32 indices become pixels in four table permutes,
// and a masked store writes exactly the run's pixels. No pixel past a run
// is read or rewritten, so a run of any length at any column costs the
// same few instructions (see pixel_runs.h for what a store is).
// Only where avx512_usable(); the decoders that use it are built for
// these instructions as a whole (see pixel_chunks.cpp).
#pragma once

#include "core/cpu_features.h"

#ifdef RASTRIX_HAS_AVX512
#include <immintrin.h>

#include <cstdint>

#include "core/lane_masks.h"
#include "flic/pixel_runs.h"

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

// 16 bits, runs stored by the functions above. Every writer is exact; the
// room-taking ones are the same but for copy_read_ahead, which loads 32
// indices at once, so the Canvas takes them wherever a run is inside.
class MaskedRuns16 {
 public:
  static constexpr int kBytes = 2;
  static constexpr bool kRoomy = true;
  static int64_t room_end(int64_t x, int64_t n) { return x + n; }

  __attribute__((target("avx512bw,avx512vl,bmi2"))) MaskedRuns16()
      : table_(pixel_table<Pixel16>()), registers_(load_palette_registers(table_)) {}

  __attribute__((target("avx512bw,avx512vl,bmi2"))) void copy(uint8_t* d, const uint8_t* src,
                                                              int32_t n) const {
    put_copy<false>(d, src, n, registers_);
  }
  __attribute__((target("avx512bw,avx512vl,bmi2"))) void fill(uint8_t* d, uint8_t index,
                                                              int32_t n) const {
    put_masked_pattern(d, _mm512_set1_epi16(static_cast<int16_t>(table_[index])), n);
  }
  // Two pixels alternating, the first lower.
  __attribute__((target("avx512bw,avx512vl,bmi2"))) void pairs(uint8_t* d, uint8_t first,
                                                               uint8_t second, int32_t n) const {
    const uint32_t pair = table_[first] | static_cast<uint32_t>(table_[second]) << 16;
    put_masked_pattern(d, _mm512_set1_epi32(static_cast<int32_t>(pair)), n);
  }
  __attribute__((target("avx512bw,avx512vl,bmi2"))) void copy_read_ahead(uint8_t* d,
                                                                         const uint8_t* src,
                                                                         int32_t n) const {
    put_copy<true>(d, src, n, registers_);
  }
  __attribute__((target("avx512bw,avx512vl,bmi2"))) void fill_in_room(uint8_t* d, uint8_t index,
                                                                      int32_t n) const {
    fill(d, index, n);
  }
  __attribute__((target("avx512bw,avx512vl,bmi2"))) void pairs_in_room(uint8_t* d, uint8_t first,
                                                                       uint8_t second,
                                                                       int32_t n) const {
    pairs(d, first, second, n);
  }

 private:
  // n pixels at d from the indices src[0 .. n); with kReadAhead, src may
  // be read up to kRunReadAhead bytes past them, else not at all.
  template <bool kReadAhead>
  __attribute__((target("avx512bw,avx512vl,bmi2"))) static void put_copy(
      uint8_t* d, const uint8_t* src, int32_t n, const PaletteRegisters& r) {
    for (; n > kVectorPixels; n -= kVectorPixels, d += 2 * kVectorPixels, src += kVectorPixels)
      _mm512_storeu_si512(d, palette_pixels(r, load_indices(src)));
    const __mmask32 run = first_lanes(n);
    const __m256i last = kReadAhead ? load_indices(src) : _mm256_maskz_loadu_epi8(run, src);
    _mm512_mask_storeu_epi16(d, run, palette_pixels(r, last));
  }

  const uint16_t* table_;
  const PaletteRegisters registers_;
};

}  // namespace rx::flic
#endif
