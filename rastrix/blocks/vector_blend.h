// The 16-byte compare-and-blend pieces the row draws share.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace rx {

inline __m128i load_vector(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Stores v over the buffer bytes `under` at row, keeping those where
// `clear` is all ones; nothing is stored when every byte is kept.
inline void blend_vector(uint8_t* row, __m128i under, __m128i v, __m128i clear) {
  if (_mm_movemask_epi8(clear) == 0xFFFF) return;
  _mm_storeu_si128(reinterpret_cast<__m128i*>(row),
                   _mm_or_si128(_mm_and_si128(clear, under), _mm_andnot_si128(clear, v)));
}

// Five 24-bit pixels in 15 bytes: all ones over those that are zero, and
// over the sixteenth byte, the next pixel's, which is kept.
inline __m128i clear24(__m128i v) {
  const __m128i first_bytes = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, 0);
  const __m128i last_byte = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1);
  const __m128i zero = _mm_cmpeq_epi8(v, _mm_setzero_si128());
  // A pixel is clear when its three bytes are zero: gather that at its
  // first byte, then spread it over all three.
  __m128i clear =
      _mm_and_si128(zero, _mm_and_si128(_mm_srli_si128(zero, 1), _mm_srli_si128(zero, 2)));
  clear = _mm_and_si128(clear, first_bytes);
  clear = _mm_or_si128(clear, _mm_or_si128(_mm_slli_si128(clear, 1), _mm_slli_si128(clear, 2)));
  return _mm_or_si128(clear, last_byte);
}

inline constexpr int32_t kPixels24 = 5;  // whole 24-bit pixels in a 16-byte register

// 24-bit pixels five a group: a group reads and writes 16 bytes, so it
// needs a sixth pixel in the row, and the next group's buffer bytes are
// read before this group's store. Group(block, n) gives the bytes of
// shown pixels n..n+4. Returns the first pixel left for a per-pixel tail.
// A vector Group is inlined by callers built for its vectors (flatten).
template <auto Group>
inline int64_t blend_groups24(uint8_t* row, const uint8_t* block, int32_t count) {
  int64_t n = 0;
  if (count > kPixels24) {
    __m128i under = load_vector(row);
    for (; n + kPixels24 < count; n += kPixels24) {
      const int64_t next = n + kPixels24;
      const __m128i next_under = next + kPixels24 < count ? load_vector(row + 3 * next) : under;
      const __m128i v = Group(block, n);
      blend_vector(row + 3 * n, under, v, clear24(v));
      under = next_under;
    }
  }
  return n;
}

}  // namespace rx
#endif  // __SSE2__
