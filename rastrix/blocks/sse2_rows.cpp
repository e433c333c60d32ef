// Row draws eight 16-bit or five 24-bit pixels at a time: a 16-byte load,
// a compare with zero giving the clear pixels, and a blend that keeps the
// buffer under them. Buffer bytes are read before any store of the row
// overlaps them: a load that straddles a recent store would wait for it.
#include "blocks/sse2_rows.h"

#if defined(__SSE2__)
#include "blocks/scalar_rows.h"
#include "blocks/vector_blend.h"

namespace rx {

namespace {

constexpr int32_t kPixels16 = 8;  // 16-bit pixels in a register

__m128i plain_group24(const uint8_t* block, int64_t n) { return load_vector(block + 3 * n); }

__m128i clear16(__m128i v) { return _mm_cmpeq_epi16(v, _mm_setzero_si128()); }

// Eight stored pixels in reverse order.
__m128i reversed16(__m128i v) {
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  return _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2));
}

}  // namespace

// Groups of eight; the last group overlaps the one before it and blends
// over the buffer as it was before the row was drawn, which gives the same
// bytes for the pixels drawn twice.
void plain_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  if (count < kPixels16) {
    plain_row<Pixel16>(row, block, count);
    return;
  }
  const int64_t last = count - kPixels16;
  const __m128i last_under = load_vector(row + 2 * last);
  for (int64_t n = 0; n < last; n += kPixels16) {
    const __m128i v = load_vector(block + 2 * n);
    blend_vector(row + 2 * n, load_vector(row + 2 * n), v, clear16(v));
  }
  const __m128i v = load_vector(block + 2 * last);
  blend_vector(row + 2 * last, last_under, v, clear16(v));
}

void mirrored_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  if (count < kPixels16) {
    mirrored_row<Pixel16>(row, block, count);
    return;
  }
  // Shown pixels n..n+7 are stored at block - 2 (n + 7) upwards.
  const uint8_t* lowest = block - 2 * (kPixels16 - 1);
  const int64_t last = count - kPixels16;
  const __m128i last_under = load_vector(row + 2 * last);
  for (int64_t n = 0; n < last; n += kPixels16) {
    const __m128i v = reversed16(load_vector(lowest - 2 * n));
    blend_vector(row + 2 * n, load_vector(row + 2 * n), v, clear16(v));
  }
  const __m128i v = reversed16(load_vector(lowest - 2 * last));
  blend_vector(row + 2 * last, last_under, v, clear16(v));
}

// Shown pixels n..n+4 are stored at block + 3n onwards.
void plain_row24_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  const int64_t n = blend_groups24<plain_group24>(row, block, count);
  plain_row<Pixel24>(row + 3 * n, block + 3 * n, static_cast<int32_t>(count - n));
}

}  // namespace rx
#endif  // __SSE2__
