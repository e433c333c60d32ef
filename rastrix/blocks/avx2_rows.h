// Row draws with 32-byte vector registers, for x86-64 processors that have
// them; chosen at run time, so the library itself needs only SSE2.
#pragma once

#include <cstdint>

#include "blocks/row_draws.h"

namespace rx {

#ifdef RASTRIX_HAS_AVX2
void plain_row16_avx2(uint8_t* row, const uint8_t* block, int32_t count);
void mirrored_row16_avx2(uint8_t* row, const uint8_t* block, int32_t count);
void mirrored_row24_avx2(uint8_t* row, const uint8_t* block, int32_t count);
void plain_row32_avx2(uint8_t* row, const uint8_t* block, int32_t count);
void mirrored_row32_avx2(uint8_t* row, const uint8_t* block, int32_t count);
#endif

}  // namespace rx
