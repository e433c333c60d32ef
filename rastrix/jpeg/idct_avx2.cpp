// The inverse DCT with 32-byte vectors: each pass runs its kernel once,
// eight lanes of 32 bits, on pairs of 16-bit inputs, so that every two
// products are one multiply-add. The sums are the portable kernel's,
// regrouped exactly (modulo 2^32), so the samples are the same.
#include "jpeg/idct.h"

#ifdef RASTRIX_HAS_AVX2
#include <immintrin.h>

#include "jpeg/idct_constants.h"

namespace rx::jpeg {
namespace {

using namespace idct_constants;

// The multiply-add factors of one input pair: a for the first, b for the
// second input.
inline __attribute__((target("avx2"))) __m256i factors(uint32_t a, uint32_t b) {
  return _mm256_set1_epi32(static_cast<int32_t>((a & 0xFFFF) | (b & 0xFFFF) << 16));
}

// The inputs of one pass, paired: lane i of p04 holds inputs 0 and 4 of
// the i-th column (first pass) or row (second pass), and so on.
struct Pairs {
  __m256i p04, p15, p26, p37;
};

// The same for a block whose terms lie in the upper-left 4x4 corner:
// inputs 4..7 are zero in both passes, and the others pair among
// themselves.
struct CornerPairs {
  __m256i p02, p13;
};

// The eight outputs from the even sums e (e10..e13) and the odd ones o.
inline __attribute__((target("avx2"))) void outputs(const __m256i e[4], const __m256i o[4],
                                                    __m256i d[8]) {
  for (int k = 0; k < 4; ++k) {
    d[k] = _mm256_add_epi32(e[k], o[3 - k]);
    d[7 - k] = _mm256_sub_epi32(e[k], o[3 - k]);
  }
}

// One odd output: the products of inputs 1 and 5, then 3 and 7.
inline __attribute__((target("avx2"))) __m256i odd(const Pairs& s, uint32_t f1, uint32_t f5,
                                                   uint32_t f3, uint32_t f7) {
  return _mm256_add_epi32(_mm256_madd_epi16(s.p15, factors(f1, f5)),
                          _mm256_madd_epi16(s.p37, factors(f3, f7)));
}

// Every output is round more than the portable kernel's: added once to the
// sums all of them start from.
inline __attribute__((target("avx2"))) void kernel(const Pairs& s, __m256i round, __m256i d[8]) {
  // Even part: the products of inputs 2 and 6, then 0 and 4.
  __m256i t2 = _mm256_madd_epi16(s.p26, factors(kF0541, kF0541 - kF1847));
  __m256i t3 = _mm256_madd_epi16(s.p26, factors(kF0541 + kF0765, kF0541));
  __m256i t0 = _mm256_add_epi32(_mm256_madd_epi16(s.p04, factors(kOne, kOne)), round);
  __m256i t1 = _mm256_add_epi32(_mm256_madd_epi16(s.p04, factors(kOne, 0u - kOne)), round);
  const __m256i e[4] = {_mm256_add_epi32(t0, t3), _mm256_add_epi32(t1, t2),
                        _mm256_sub_epi32(t1, t2), _mm256_sub_epi32(t0, t3)};
  // Odd part: each output takes all four odd inputs.
  const __m256i o[4] = {
      odd(s, kF1175 - kF0899, kF1175, kF1175 - kF1961, kF0298 - kF0899 + kF1175 - kF1961),
      odd(s, kF1175 - kF0390, kF2053 - kF2562 + kF1175 - kF0390, kF1175 - kF2562, kF1175),
      odd(s, kF1175, kF1175 - kF2562, kF3072 - kF2562 + kF1175 - kF1961, kF1175 - kF1961),
      odd(s, kF1501 - kF0899 + kF1175 - kF0390, kF1175 - kF0390, kF1175, kF1175 - kF0899)};
  outputs(e, o, d);
}

// The kernel with inputs 4..7 zero: the products with them left out.
inline __attribute__((target("avx2"))) void corner_kernel(const CornerPairs& s, __m256i round,
                                                          __m256i d[8]) {
  __m256i t0 = _mm256_add_epi32(_mm256_madd_epi16(s.p02, factors(kOne, 0)), round);
  __m256i t2 = _mm256_madd_epi16(s.p02, factors(0, kF0541));
  __m256i t3 = _mm256_madd_epi16(s.p02, factors(0, kF0541 + kF0765));
  const __m256i e[4] = {_mm256_add_epi32(t0, t3), _mm256_add_epi32(t0, t2),
                        _mm256_sub_epi32(t0, t2), _mm256_sub_epi32(t0, t3)};
  const __m256i o[4] = {
      _mm256_madd_epi16(s.p13, factors(kF1175 - kF0899, kF1175 - kF1961)),
      _mm256_madd_epi16(s.p13, factors(kF1175 - kF0390, kF1175 - kF2562)),
      _mm256_madd_epi16(s.p13, factors(kF1175, kF3072 - kF2562 + kF1175 - kF1961)),
      _mm256_madd_epi16(s.p13, factors(kF1501 - kF0899 + kF1175 - kF0390, kF1175))};
  outputs(e, o, d);
}

// Coefficient rows first and first + 1, their quarters reordered (the
// left halves of both, then the right halves) so that the unpacks below
// meet rows k and k + 4 (or k + 2).
inline __attribute__((target("avx2"))) __m256i two_rows(const int16_t* in, int first) {
  __m256i two = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 8 * first));
  return _mm256_permute4x64_epi64(two, _MM_SHUFFLE(3, 1, 2, 0));
}

// The coefficient rows paired per column.
inline __attribute__((target("avx2"))) Pairs column_pairs(const int16_t* in) {
  __m256i r01 = two_rows(in, 0), r23 = two_rows(in, 2);
  __m256i r45 = two_rows(in, 4), r67 = two_rows(in, 6);
  return {_mm256_unpacklo_epi16(r01, r45), _mm256_unpackhi_epi16(r01, r45),
          _mm256_unpacklo_epi16(r23, r67), _mm256_unpackhi_epi16(r23, r67)};
}

inline __attribute__((target("avx2"))) CornerPairs corner_column_pairs(const int16_t* in) {
  __m256i r01 = two_rows(in, 0), r23 = two_rows(in, 2);
  return {_mm256_unpacklo_epi16(r01, r23), _mm256_unpackhi_epi16(r01, r23)};
}

// The first pass's rows (lanes: columns) transposed: columns c and c + 4
// of rows 0..3 in b[c], of rows 4..7 in b[c + 4].
inline __attribute__((target("avx2"))) void transposed_quarters(const __m256i w[8], __m256i b[8]) {
  for (int half = 0; half < 2; ++half) {
    const __m256i* r = w + 4 * half;
    __m256i a0 = _mm256_unpacklo_epi32(r[0], r[1]), a1 = _mm256_unpackhi_epi32(r[0], r[1]);
    __m256i a2 = _mm256_unpacklo_epi32(r[2], r[3]), a3 = _mm256_unpackhi_epi32(r[2], r[3]);
    __m256i* out = b + 4 * half;
    out[0] = _mm256_unpacklo_epi64(a0, a2), out[1] = _mm256_unpackhi_epi64(a0, a2);
    out[2] = _mm256_unpacklo_epi64(a1, a3), out[3] = _mm256_unpackhi_epi64(a1, a3);
  }
}

// Two columns of the first pass's results paired per row, keeping the low
// 16 bits of each, as the portable pass stores.
inline __attribute__((target("avx2"))) __m256i paired(__m256i first, __m256i second) {
  return _mm256_blend_epi16(first, _mm256_slli_epi32(second, 16), 0xAA);
}

inline __attribute__((target("avx2"))) Pairs row_pairs(const __m256i w[8]) {
  __m256i b[8];
  transposed_quarters(w, b);
  __m256i p[4];
  for (int c = 0; c < 4; ++c)
    p[c] = paired(_mm256_permute2x128_si256(b[c], b[c + 4], 0x20),   // column c
                  _mm256_permute2x128_si256(b[c], b[c + 4], 0x31));  // column c + 4
  return {p[0], p[1], p[2], p[3]};
}

inline __attribute__((target("avx2"))) CornerPairs corner_row_pairs(const __m256i w[8]) {
  __m256i b[8];
  transposed_quarters(w, b);
  __m256i column[4];
  for (int c = 0; c < 4; ++c) column[c] = _mm256_permute2x128_si256(b[c], b[c + 4], 0x20);
  return {paired(column[0], column[2]), paired(column[1], column[3])};
}

// Columns c and c + 1 of rows 0..3 | 4..7, level-shifted, 16-bit.
inline __attribute__((target("avx2"))) __m256i two_columns(const __m256i v[8], int c) {
  return _mm256_adds_epi16(_mm256_packs_epi32(v[c], v[c + 1]), _mm256_set1_epi16(kCenter));
}

// Rows row and row + 1, eight bytes each in two.
inline __attribute__((target("avx2"))) void store_two_rows(__m128i two, uint8_t* out,
                                                           int32_t stride, int row) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + row * stride), two);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (row + 1) * stride),
                   _mm_unpackhi_epi64(two, two));
}

// The second pass's outputs (lanes: rows, one vector per column) to bytes,
// clamped, and stored row by row.
inline __attribute__((target("avx2"))) void store_rows(const __m256i v[8], uint8_t* out,
                                                       int32_t stride) {
  // Bytes: columns 0..3 (then 4..7) of rows 0..3 | 4..7, column-major in
  // each half, turned row-major.
  const __m256i rows_first = _mm256_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15,
                                              0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
  __m256i left =
      _mm256_shuffle_epi8(_mm256_packus_epi16(two_columns(v, 0), two_columns(v, 2)), rows_first);
  __m256i right =
      _mm256_shuffle_epi8(_mm256_packus_epi16(two_columns(v, 4), two_columns(v, 6)), rows_first);
  __m256i rows_0145 = _mm256_unpacklo_epi32(left, right);
  __m256i rows_2367 = _mm256_unpackhi_epi32(left, right);
  store_two_rows(_mm256_castsi256_si128(rows_0145), out, stride, 0);
  store_two_rows(_mm256_castsi256_si128(rows_2367), out, stride, 2);
  store_two_rows(_mm256_extracti128_si256(rows_0145, 1), out, stride, 4);
  store_two_rows(_mm256_extracti128_si256(rows_2367, 1), out, stride, 6);
}

template <bool kTopLeft>
inline __attribute__((target("avx2"))) void idct_avx2(const int16_t* in, uint8_t* out,
                                                      int32_t stride) {
  __m256i d[8];
  const __m256i round1 = _mm256_set1_epi32(kPass1Round), round2 = _mm256_set1_epi32(kPass2Round);
  if constexpr (kTopLeft)
    corner_kernel(corner_column_pairs(in), round1, d);
  else
    kernel(column_pairs(in), round1, d);
  for (int k = 0; k < 8; ++k) d[k] = _mm256_srai_epi32(d[k], kPass1Shift);
  if constexpr (kTopLeft)
    corner_kernel(corner_row_pairs(d), round2, d);
  else
    kernel(row_pairs(d), round2, d);
  for (int k = 0; k < 8; ++k) d[k] = _mm256_srai_epi32(d[k], kPass2Shift);
  store_rows(d, out, stride);
}

}  // namespace

__attribute__((target("avx2"))) void idct_block_avx2(const int16_t* in, uint8_t* out,
                                                     int32_t stride) {
  idct_avx2<false>(in, out, stride);
}

__attribute__((target("avx2"))) void idct_top_left_avx2(const int16_t* in, uint8_t* out,
                                                        int32_t stride) {
  idct_avx2<true>(in, out, stride);
}

}  // namespace rx::jpeg
#endif
