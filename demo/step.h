// One frame of the aquarium, composed in the frame buffer and pasted.
#pragma once

#include <cstdint>

namespace fishtank {

inline constexpr int32_t kBubbleSide = 14;
inline constexpr int32_t kBubbleBoost = 30;  // added to each channel under the bubble

// The 14 x 14 bubble in block order; 1 marks a pixel that brightens.
extern const uint8_t kBubbleMask[kBubbleSide * kBubbleSide];

// Bottom row of the bubble for a bubble count (1 on the first step after
// the wheel started over) and the rows it covers there (0: not drawn).
int32_t bubble_row(int32_t bubble_counter);
int32_t bubble_height(int32_t row);

// One channel brightened, held at full scale instead of wrapping to dark.
constexpr int32_t brighten(int32_t channel) {
  return channel + kBubbleBoost > 255 ? 255 : channel + kBubbleBoost;
}

// Brightens the bubble's pixels in the active buffer, lower-left corner at
// (x, y), taking only the rows that lie at or below row 0.
void draw_bubble_at(int32_t x, int32_t y);

void animation_step();

}  // namespace fishtank
