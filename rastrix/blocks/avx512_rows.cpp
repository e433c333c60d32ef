// 16-bit row draws 32 pixels at a time: the pixels that are not zero make
// the store's mask, so the buffer is never read and a short last group
// needs no overlap; its block bytes are read under the same mask, so
// nothing outside the block is touched either.
#include "blocks/avx512_rows.h"

#ifdef RASTRIX_HAS_AVX512
#include <immintrin.h>

#include "core/lane_masks.h"

namespace rx {

namespace {

constexpr int32_t kPixels = 32;  // 16-bit pixels in a register

// Stores the pixels of v that are not zero, of the lanes in `lanes`.
__attribute__((target("avx512bw,avx512vl,bmi2"))) void draw(uint8_t* row, __m512i v,
                                                            __mmask32 lanes) {
  _mm512_mask_storeu_epi16(row, _mm512_mask_test_epi16_mask(lanes, v, v), v);
}

}  // namespace

__attribute__((target("avx512bw,avx512vl,bmi2"))) void plain_row16_avx512(uint8_t* row,
                                                                          const uint8_t* block,
                                                                          int32_t count) {
  int64_t n = 0;
  for (; n + kPixels <= count; n += kPixels)
    draw(row + 2 * n, _mm512_loadu_si512(block + 2 * n), ~0u);
  const __mmask32 rest = first_lanes(count - n);
  draw(row + 2 * n, _mm512_maskz_loadu_epi16(rest, block + 2 * n), rest);
}

// Shown pixels n..n+31 are stored at block - 2 (n + 31) upwards; a group
// is read into the register reversed, lane k from the top.
__attribute__((target("avx512bw,avx512vl,bmi2"))) void mirrored_row16_avx512(uint8_t* row,
                                                                             const uint8_t* block,
                                                                             int32_t count) {
  const __m512i reverse =
      _mm512_set_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                       22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  const uint8_t* lowest = block - 2 * (kPixels - 1);
  int64_t n = 0;
  for (; n + kPixels <= count; n += kPixels)
    draw(row + 2 * n, _mm512_permutexvar_epi16(reverse, _mm512_loadu_si512(lowest - 2 * n)), ~0u);
  // The last r pixels are the top r lanes of the group: only those are read.
  const int64_t r = count - n;
  const __mmask32 stored = static_cast<__mmask32>(~first_lanes(kPixels - r));
  const __m512i v = _mm512_maskz_loadu_epi16(stored, lowest - 2 * n);
  draw(row + 2 * n, _mm512_permutexvar_epi16(reverse, v), first_lanes(r));
}

}  // namespace rx
#endif  // RASTRIX_HAS_AVX512
