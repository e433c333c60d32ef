// YCbCr to the buffer's pixel forms, and the line writers: one routine
// per depth (and per horizontal chroma replication), chosen once per call.
#pragma once

#include <cstdint>

namespace rx::jpeg {

inline constexpr int kMaxReplication = 4;

// k * (i - 128) + 0.5, truncated toward zero, for chroma sample i.
struct ColorTables {
  int32_t cr_to_red[256];
  int32_t cb_to_green[256];
  int32_t cr_to_green[256];
  int32_t cb_to_blue[256];
};
extern const ColorTables kColorTables;

// Converts count pixels of a strip line, picture columns first ..
// first + count - 1, into out. y, cb, cr point at the line starts of their
// planes; chroma column x / replication serves picture column x.
using ColorLine = void (*)(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, int32_t first,
                           int32_t count, uint8_t* out);
// The same for two lines that share their chroma line.
using ColorPair = void (*)(const uint8_t* y0, const uint8_t* y1, const uint8_t* cb,
                           const uint8_t* cr, int32_t first, int32_t count, uint8_t* out0,
                           uint8_t* out1);
// Writes count grayscale samples (y points at the first) into out.
using GrayLine = void (*)(const uint8_t* y, int32_t count, uint8_t* out);

// Indexed by the depth index (8, 16, 24, 32 bits) and replication - 1;
// null for 8 bits.
ColorLine color_line(int depth_index, int replication);
ColorPair color_pair(int depth_index, int replication);
GrayLine gray_line(int depth_index);
// The portable forms; the ones above use vectors where there are.
ColorLine color_line_scalar(int depth_index, int replication);
ColorPair color_pair_scalar(int depth_index, int replication);
GrayLine gray_line_scalar(int depth_index);

}  // namespace rx::jpeg
