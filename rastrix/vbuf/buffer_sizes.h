// Header size, info size and colour usage of a buffer depth.
#pragma once

#include <cstdint>

namespace rx {

struct BufferSizes {
  int32_t header_size;
  int32_t info_size;
  int32_t color_usage;
};

BufferSizes buffer_sizes(int32_t bits);

}  // namespace rx
