// 16-bit row draws sixteen pixels at a time: compare with zero, blend, as
// the 16-byte rows do; rows too short for a group take those. 32-bit row
// draws widen four 3-byte block pixels at a time with a byte shuffle,
// which every processor with these registers has; 24-bit mirrored rows
// reverse five at a time with one.
#include "blocks/avx2_rows.h"

#ifdef RASTRIX_HAS_AVX2
#include <immintrin.h>

#include "blocks/scalar_rows.h"
#include "blocks/sse2_rows.h"
#include "blocks/vector_blend.h"

namespace rx {

namespace {

constexpr int32_t kPixels = 16;   // 16-bit pixels in a register
constexpr int32_t kPixels32 = 4;  // 32-bit pixels in a 16-byte register
// A group reads 16 block bytes for its 12: it needs two more pixels.
constexpr int32_t kPixelsRead32 = 6;

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

// Four widened pixels over the buffer's, keeping those that are zero.
__attribute__((target("avx2"))) void blend32(uint8_t* row, __m128i v) {
  const __m128i clear = _mm_cmpeq_epi32(v, _mm_setzero_si128());
  if (_mm_movemask_epi8(clear) == 0xFFFF) return;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_blendv_epi8(v, load_vector(row), clear));
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
  for (int64_t n = 0; n < last; n += kPixels)
    blend(row + 2 * n, load(row + 2 * n), load(block + 2 * n));
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

// Shown pixels n..n+3 from block bytes 3n..3n+11, a zero fourth byte each.
__attribute__((target("avx2"))) void plain_row32_avx2(uint8_t* row, const uint8_t* block,
                                                      int32_t count) {
  const __m128i widen = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  int64_t n = 0;
  for (; count - n >= kPixelsRead32; n += kPixels32)
    blend32(row + 4 * n, _mm_shuffle_epi8(load_vector(block + 3 * n), widen));
  plain_row<Pixel32>(row + 4 * n, block + 3 * n, static_cast<int32_t>(count - n));
}

// Shown pixels n..n+3 are stored at block - 3 (n + 3) upwards; the 16
// bytes read end with shown pixel n's last byte.
__attribute__((target("avx2"))) void mirrored_row32_avx2(uint8_t* row, const uint8_t* block,
                                                         int32_t count) {
  const __m128i widen_reversed =
      _mm_setr_epi8(13, 14, 15, -1, 10, 11, 12, -1, 7, 8, 9, -1, 4, 5, 6, -1);
  int64_t n = 0;
  for (; count - n >= kPixelsRead32; n += kPixels32)
    blend32(row + 4 * n, _mm_shuffle_epi8(load_vector(block - 3 * n - 13), widen_reversed));
  mirrored_row<Pixel32>(row + 4 * n, block - 3 * n, static_cast<int32_t>(count - n));
}

namespace {
// Shown pixels n..n+4 are stored at block - 3 (n + 4) upwards; the 16
// bytes read end with shown pixel n's last byte.
__attribute__((target("avx2"))) __m128i mirrored_group24(const uint8_t* block, int64_t n) {
  const __m128i reverse = _mm_setr_epi8(13, 14, 15, 10, 11, 12, 7, 8, 9, 4, 5, 6, 1, 2, 3, -1);
  return _mm_shuffle_epi8(load_vector(block - 3 * n - 13), reverse);
}
}  // namespace

// In groups as the 16-byte plain rows, all inlined here.
__attribute__((target("avx2"), flatten)) void mirrored_row24_avx2(uint8_t* row,
                                                                  const uint8_t* block,
                                                                  int32_t count) {
  const int64_t n = blend_groups24<mirrored_group24>(row, block, count);
  mirrored_row<Pixel24>(row + 3 * n, block - 3 * n, static_cast<int32_t>(count - n));
}

}  // namespace rx
#endif  // RASTRIX_HAS_AVX2
