// The JPEG decoder's strip memory: caller memory or the ScratchArea.
#include "core/state.h"

extern "C" int32_t rx_set_decode_buffer(void* buffer, int32_t size) {
  rx::LibraryState& s = rx::state();
  if (size <= 0 || buffer == nullptr) {
    // 0 (and anything unusable) installs the built-in ScratchArea again.
    s.decode_buffer = s.scratch;
    s.decode_size = rx::kScratchSize;
  } else {
    s.decode_buffer = static_cast<uint8_t*>(buffer);
    s.decode_size = size;
  }
  return RX_OK;
}
