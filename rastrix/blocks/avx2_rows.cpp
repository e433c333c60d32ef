// 16-bit row draws sixteen pixels at a time: compare with zero, blend, as
// the 16-byte rows do; rows too short for a group take those.
#include "blocks/avx2_rows.h"

#ifdef RASTRIX_HAS_AVX2
#include <immintrin.h>

#include "blocks/sse2_rows.h"

namespace rx {

namespace {

constexpr int32_t kPixels = 16;  // 16-bit pixels in a register

__attribute__((target("avx2"))) __m256i load(const uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Stores v over the buffer bytes `under`, keeping the clear pixels; nothing
// is stored when all sixteen are clear.
__attribute__((target("avx2"))) void blend(uint8_t* row, __m256i under, __m256i v) {
  const __m256i clear = _mm256_cmpeq_epi16(v, _mm256_setzero_si256());
  if (_mm256_movemask_epi8(clear) == -1) return;
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), _mm256_blendv_epi8(v, under, clear));
}

// Sixteen stored pixels in reverse order: reversed within each half, then
// the halves swapped.
__attribute__((target("avx2"))) __m256i reversed(__m256i v) {
  const __m256i in_half = _mm256_setr_epi8(14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1,  //
                                           14, 15, 12, 13, 10, 11, 8, 9, 6, 7, 4, 5, 2, 3, 0, 1);
  return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(v, in_half), _MM_SHUFFLE(1, 0, 3, 2));
}

}  // namespace

// The last group overlaps the one before it and blends over the buffer as
// it was before the row was drawn (see the 16-byte rows).
__attribute__((target("avx2"))) void plain_row16_avx2(uint8_t* row, const uint8_t* block,
                                                      int32_t count) {
  if (count < kPixels) {
    plain_row16_sse2(row, block, count);
    return;
  }
  const int64_t last = count - kPixels;
  const __m256i last_under = load(row + 2 * last);
  for (int64_t n = 0; n < last; n += kPixels) blend(row + 2 * n, load(row + 2 * n), load(block + 2 * n));
  blend(row + 2 * last, last_under, load(block + 2 * last));
}

__attribute__((target("avx2"))) void mirrored_row16_avx2(uint8_t* row, const uint8_t* block,
                                                         int32_t count) {
  if (count < kPixels) {
    mirrored_row16_sse2(row, block, count);
    return;
  }
  // Shown pixels n..n+15 are stored at block - 2 (n + 15) upwards.
  const uint8_t* lowest = block - 2 * (kPixels - 1);
  const int64_t last = count - kPixels;
  const __m256i last_under = load(row + 2 * last);
  for (int64_t n = 0; n < last; n += kPixels)
    blend(row + 2 * n, load(row + 2 * n), reversed(load(lowest - 2 * n)));
  blend(row + 2 * last, last_under, reversed(load(lowest - 2 * last)));
}

}  // namespace rx
#endif  // RASTRIX_HAS_AVX2
