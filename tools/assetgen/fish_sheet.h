// A species' picture: its frames drawn inside their rectangles on black,
// reduced to 256 colours with index 0 kept for black.
#pragma once

#include "fish.h"
#include "writers/pcx_writer.h"

namespace assetgen {

rx::support::PcxPicture render_fish_picture(const FishKind& kind);

}  // namespace assetgen
