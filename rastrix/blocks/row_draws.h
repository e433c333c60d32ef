// One block row drawn onto one buffer row, zero pixels clear, per depth.
#pragma once

#include <cstdint>

namespace rx {

// Draws count pixels from the buffer row position `row` rightwards. Plain
// rows read the block left to right from `block`; mirrored rows read it
// right to left, `block` being the stored pixel shown first.
using RowDraw = void (*)(uint8_t* row, const uint8_t* block, int32_t count);

struct RowDraws {
  RowDraw plain, mirrored;
};

// Indexed by the depth index; 8-bit buffers draw nothing (null entries).
extern const RowDraws kScalarRowDraws[4];  // a run or a pixel at a time, any target
extern const RowDraws kRowDraws[4];        // the fastest this build has

}  // namespace rx
