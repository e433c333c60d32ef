// PCX reader: memory and file mode, every depth and flag, small buffers
// and positions near the edges.
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rx::fuzz::Input in(data, size);
  int32_t bits = rx::fuzz::pick_depth(in.byte());
  uint8_t mode = in.byte();
  int32_t width = 1 + in.byte(), height = 1 + in.byte();
  int32_t x = static_cast<int8_t>(in.byte()), y = static_cast<int8_t>(in.byte());
  int32_t flags = mode & (RX_SHOW_KEEP_PALETTE | RX_SHOW_AT_POSITION | RX_SHOW_NO_REDUCE);
  rx::fuzz::Session session(bits, width, height);
  rx_move_to(x, y);
  if (mode & 0x80) {
    rx::fuzz::MemoryFile file(in.rest(), in.rest_size());
    rx_show_pcx(file.path(), flags);
  } else {
    rx_set_input_buffer(const_cast<uint8_t*>(in.rest()), static_cast<int32_t>(in.rest_size()));
    rx_show_pcx(nullptr, flags | RX_SHOW_FROM_MEMORY);
  }
  return 0;
}
