// One picture's frame and output parameters, and the scan decoder.
#pragma once

#include <cstdint>

#include "jpeg/bit_reader.h"
#include "jpeg/jpeg_tables.h"

namespace rx::jpeg {

struct Frame {
  bool seen;  // an SOF0 segment was read in this picture
  int32_t width, height;
  int components;                // 1 or 3
  uint8_t ids[kMaxComponents];   // frame identifiers, in component order
  int scan_order[kMaxComponents];  // component indices in the order of the scan
  int32_t restart_interval;      // 0: none
  int32_t restart_counter;
  int64_t x0, y0;                // where the upper-left pixel lands
  int depth_index;
};

// Decodes the scan whose components and tables are set, strip by strip,
// into the active buffer. 0, or the result code of rx_show_jpeg.
int32_t decode_scan(Frame& frame, BitReader& bits);

}  // namespace rx::jpeg
