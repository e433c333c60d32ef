// The built-in default palette: static colours, the 16 standard colours,
// greys and nine colour rings.
#pragma once

#include <array>
#include <cstdint>

namespace rx {

struct PaletteRgb {
  uint8_t red, green, blue;
};

const std::array<PaletteRgb, 256>& default_palette();

}  // namespace rx
