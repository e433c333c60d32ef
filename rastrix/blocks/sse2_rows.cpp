// Row draws eight 16-bit or five 24-bit pixels at a time: a 16-byte load,
// a compare with zero giving the clear pixels, and a blend that keeps the
// buffer under them. Drawing a pixel twice stores the same bytes, so the
// last group of a row may overlap the one before it.
#include "blocks/sse2_rows.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "blocks/scalar_rows.h"

namespace rx {

namespace {

constexpr int32_t kPixels16 = 8;  // 16-bit pixels in a register
constexpr int32_t kPixels24 = 5;  // whole 24-bit pixels in a register

__m128i load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void store(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Bytes of v where `clear` is zero replace the buffer's 16 bytes at row.
void blend(uint8_t* row, __m128i v, __m128i clear) {
  const int kept = _mm_movemask_epi8(clear);
  if (kept == 0xFFFF) return;
  if (kept == 0) {
    store(row, v);
    return;
  }
  store(row, _mm_or_si128(_mm_and_si128(clear, load(row)), _mm_andnot_si128(clear, v)));
}

void plain_group16(uint8_t* row, const uint8_t* block) {
  const __m128i v = load(block);
  blend(row, v, _mm_cmpeq_epi16(v, _mm_setzero_si128()));
}

// `block` is the lowest of the eight stored pixels; they are shown in
// reverse order.
void mirrored_group16(uint8_t* row, const uint8_t* block) {
  __m128i v = load(block);
  v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(0, 1, 2, 3));
  v = _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 3, 2));
  blend(row, v, _mm_cmpeq_epi16(v, _mm_setzero_si128()));
}

// Five pixels from 15 bytes; the sixteenth byte, the next pixel's, is kept.
void plain_group24(uint8_t* row, const uint8_t* block) {
  const __m128i first_bytes = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0);
  const __m128i last_byte = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1);
  const __m128i v = load(block);
  const __m128i zero = _mm_cmpeq_epi8(v, _mm_setzero_si128());
  // A pixel is clear when its three bytes are zero: gather that at its
  // first byte, then spread it over all three.
  __m128i clear = _mm_and_si128(zero, _mm_and_si128(_mm_srli_si128(zero, 1), _mm_srli_si128(zero, 2)));
  clear = _mm_and_si128(clear, first_bytes);
  clear = _mm_or_si128(clear, _mm_or_si128(_mm_slli_si128(clear, 1), _mm_slli_si128(clear, 2)));
  blend(row, v, _mm_or_si128(clear, last_byte));
}

}  // namespace

void plain_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  if (count < kPixels16) {
    plain_row<Pixel16>(row, block, count);
    return;
  }
  int64_t n = 0;
  for (; n + kPixels16 < count; n += kPixels16) plain_group16(row + 2 * n, block + 2 * n);
  n = count - kPixels16;
  plain_group16(row + 2 * n, block + 2 * n);
}

void mirrored_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  if (count < kPixels16) {
    mirrored_row<Pixel16>(row, block, count);
    return;
  }
  // Shown pixels n..n+7 are stored at block - 2 (n + 7) upwards.
  const uint8_t* lowest = block - 2 * (kPixels16 - 1);
  int64_t n = 0;
  for (; n + kPixels16 < count; n += kPixels16) mirrored_group16(row + 2 * n, lowest - 2 * n);
  n = count - kPixels16;
  mirrored_group16(row + 2 * n, lowest - 2 * n);
}

void plain_row24_sse2(uint8_t* row, const uint8_t* block, int32_t count) {
  // A group reads and writes 16 bytes, so it needs a sixth pixel in the row.
  int64_t n = 0;
  for (; n + kPixels24 < count; n += kPixels24) plain_group24(row + 3 * n, block + 3 * n);
  plain_row<Pixel24>(row + 3 * n, block + 3 * n, static_cast<int32_t>(count - n));
}

}  // namespace rx
#endif  // __SSE2__
