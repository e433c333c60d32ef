// Baseline JPEG through libjpeg-turbo: the photograph is written here, and
// read back so that the wheel's background is the picture as decoded.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

namespace assetgen {

// Baseline, Huffman tables of the standard (ITU-T T.81 annex K), 4:2:0,
// JFIF, components Y, Cb, Cr with ids 1, 2, 3.
std::vector<uint8_t> encode_jpeg(const Image& image, int quality);
Image decode_jpeg(const std::vector<uint8_t>& file);

}  // namespace assetgen
