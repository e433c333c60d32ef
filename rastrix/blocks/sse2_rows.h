// Row draws with 16-byte vector registers: compare with zero, blend.
#pragma once

#include <cstdint>

namespace rx {

#if defined(__SSE2__)
void plain_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count);
void mirrored_row16_sse2(uint8_t* row, const uint8_t* block, int32_t count);
void plain_row24_sse2(uint8_t* row, const uint8_t* block, int32_t count);
#endif

}  // namespace rx
