// Integer inverse DCT of one block (Loeffler-Ligtenberg-Moschytz, 13-bit
// constants), columns first, into 8x8 samples at out with the given stride.
#pragma once

#include <cstdint>

namespace rx::jpeg {

void idct_block(const int16_t* coefficients, uint8_t* out, int32_t stride);
// The portable form; idct_block is the vector form where there is one.
void idct_block_scalar(const int16_t* coefficients, uint8_t* out, int32_t stride);
// A block whose coefficients outside the upper-left 4x4 corner are zero.
void idct_top_left(const int16_t* coefficients, uint8_t* out, int32_t stride);
// A block whose only coefficient is the DC term dc.
void idct_dc_only(int16_t dc, uint8_t* out, int32_t stride);

}  // namespace rx::jpeg
