// The SOF0 frame header and the checks that decide whether the decoder
// can draw the frame; the header reader reports what passes them.
#pragma once

#include <cstdint>

#include "core/input_source.h"
#include "jpeg/jpeg_tables.h"

namespace rx::jpeg {

struct FrameHeader {
  int32_t width, height;
  int components;  // 1 or 3
  // In component order (identifier minus the first identifier).
  uint8_t ids[kMaxComponents];
  uint8_t h[kMaxComponents], v[kMaxComponents];
  uint8_t quant[kMaxComponents];
};

// Reads the segment after an SOF0 marker. 0, or the result code of
// rx_show_jpeg that refuses the frame.
int32_t read_frame_header(InputSource& src, FrameHeader& into);

}  // namespace rx::jpeg
