// Row draws with 64-byte vector registers and masked stores, for x86-64
// processors that have them; chosen at run time.
#pragma once

#include <cstdint>

#include "blocks/row_draws.h"

namespace rx {

#ifdef RASTRIX_HAS_AVX512
void plain_row16_avx512(uint8_t* row, const uint8_t* block, int32_t count);
void mirrored_row16_avx512(uint8_t* row, const uint8_t* block, int32_t count);
#endif

}  // namespace rx
