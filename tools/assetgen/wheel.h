// The turning water wheel: 186 x 153 frames over the photograph's
// lower-right corner, one 256-colour palette for the whole loop.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace assetgen {

inline constexpr int kWheelPaddles = 10;
inline constexpr int kWheelFrames = 40;  // one paddle's turn: the loop repeats after it
inline constexpr uint32_t kWheelFrameMs = 70;

struct WheelAnimation {
  std::vector<std::vector<uint8_t>> frames;  // palette indices, row-major
  std::vector<uint8_t> palette;              // 256 x (red, green, blue)
};

// `background` is the corner of the photograph as decoded from its JPEG.
WheelAnimation render_wheel(const Image& background);

}  // namespace assetgen
