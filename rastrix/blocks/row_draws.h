// One block row drawn onto one buffer row, zero pixels clear, per depth.
#pragma once

#include <cstdint>

#include "core/cpu_features.h"

namespace rx {

// Draws count pixels from the buffer row position `row` rightwards. Plain
// rows read the block left to right from `block`; mirrored rows read it
// right to left, `block` being the stored pixel shown first.
using RowDraw = void (*)(uint8_t* row, const uint8_t* block, int32_t count);

struct RowDraws {
  RowDraw plain, mirrored;
};

// Tables indexed by the depth index; 8-bit buffers draw nothing (null
// entries). Every table draws the same bytes.
extern const RowDraws kScalarRowDraws[4];  // a run or a pixel at a time, any target
#if defined(__SSE2__)
extern const RowDraws kSse2RowDraws[4];
#endif
#ifdef RASTRIX_HAS_AVX2
extern const RowDraws kAvx2RowDraws[4];  // only where avx2_usable()
#endif
#ifdef RASTRIX_HAS_AVX512
extern const RowDraws kAvx512RowDraws[4];  // only where avx512_usable()
#endif

// The table of the instruction level in use.
const RowDraws* row_draws();

}  // namespace rx
