// Integer inverse DCT of one block (Loeffler-Ligtenberg-Moschytz, 13-bit
// constants), columns first, into 8x8 samples at out with the given stride.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"

namespace rx::jpeg {

using IdctForm = void (*)(const int16_t* coefficients, uint8_t* out, int32_t stride);

void idct_block(const int16_t* coefficients, uint8_t* out, int32_t stride);
// The portable form; idct_block is the vector form where there is one.
void idct_block_scalar(const int16_t* coefficients, uint8_t* out, int32_t stride);
// A block whose coefficients outside the upper-left 4x4 corner are zero.
void idct_top_left(const int16_t* coefficients, uint8_t* out, int32_t stride);
// A block whose only coefficient is the DC term dc.
void idct_dc_only(int16_t dc, uint8_t* out, int32_t stride);

#ifdef RASTRIX_HAS_AVX2
// The same with 32-byte vectors; only where avx2_usable().
void idct_block_avx2(const int16_t* coefficients, uint8_t* out, int32_t stride);
void idct_top_left_avx2(const int16_t* coefficients, uint8_t* out, int32_t stride);
#endif

// The forms of the whole and the corner transforms at the instruction level
// in use.
struct IdctForms {
  IdctForm block, top_left;
};
const IdctForms& idct_forms();

}  // namespace rx::jpeg
