// The aquarium photograph, rendered as a floating-point picture. The wheel
// flic takes its background from the lower-right corner of the same picture.
#pragma once

#include "raster.h"

namespace assetgen {

inline constexpr int kPhotoWidth = 640;
inline constexpr int kPhotoHeight = 480;

// The water wheel covers this corner when the demo shows it.
inline constexpr int kWheelLeft = 454;
inline constexpr int kWheelTop = 327;
inline constexpr int kWheelWidth = 186;
inline constexpr int kWheelHeight = 153;

// The air pipe that feeds the rising bubble: its mouth is just under row 352,
// centred between columns 457 and 472.
inline constexpr double kAirPipeX = 464.5;
inline constexpr double kAirPipeTop = 354;

// The demo brightens the pixels under its bubble by 30 per channel without
// saturation; a photograph kept at or below this level never wraps there.
inline constexpr double kBrightest = 214;

Image render_aquarium();

}  // namespace assetgen
