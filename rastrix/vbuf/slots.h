// What other modules need of the buffer slot table: the header and info
// sizes of a depth, and giving a slot's memory back.
#pragma once

#include <cstdint>

namespace rx {

struct BufferSizes {
  int32_t header_size;
  int32_t info_size;
  int32_t color_usage;
};

// The sizes-table row of a depth; the desktop depth decides for 8 bits.
BufferSizes buffer_sizes(int32_t bits);

// Frees the bitmap and header of a slot in use and marks it free; nothing
// for a free slot or a handle outside 0..31.
void free_slot(int32_t handle);

}  // namespace rx
